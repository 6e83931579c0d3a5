// The schema interface over ADO's COM objects. Texts go to ADO as UTF-16
// converted from code page 936 and come back the same way.
#include "schema/win32/ado.h"

#include <string>
#include <utility>
#include <vector>

#include <oleauto.h>
#include <windows.h>

namespace schema {

static_assert(kPointerError == E_POINTER && kFailure == E_FAIL && kNotImplemented == E_NOTIMPL &&
                  kNoInterface == E_NOINTERFACE && kClassNotRegistered == REGDB_E_CLASSNOTREG,
              "the statuses are COM's");

namespace {

constexpr UINT kCodePage = 936;

void check(HRESULT hr) {
    if (FAILED(hr)) {
        throw ComError(hr);
    }
}

// One counted reference to a COM interface, released on destruction.
template <typename T> class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* object) : object_(object) {}
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    // For an out parameter; the holder must be empty.
    T** put() { return &object_; }
    T* release() { return std::exchange(object_, nullptr); }

private:
    T* object_ = nullptr;
};

// A BSTR owned for the length of a call.
class Bstr {
public:
    explicit Bstr(const std::string& text) {
        const int size = static_cast<int>(text.size());
        const int length = size == 0 ? 0 : ::MultiByteToWideChar(kCodePage, 0, text.data(), size, nullptr, 0);
        if (size != 0 && length == 0) {
            check(HRESULT_FROM_WIN32(::GetLastError()));
        }
        value_ = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (value_ == nullptr) {
            throw ComError(E_OUTOFMEMORY);
        }
        if (length != 0) {
            ::MultiByteToWideChar(kCodePage, 0, text.data(), size, value_, length);
        }
    }
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return value_; }
    BSTR release() { return std::exchange(value_, nullptr); }

private:
    BSTR value_ = nullptr;
};

std::string toCodePage(const wchar_t* text, UINT length) {
    if (length == 0) {
        return std::string();
    }
    const int wide = static_cast<int>(length);
    const int size = ::WideCharToMultiByte(kCodePage, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (size == 0) {
        check(HRESULT_FROM_WIN32(::GetLastError()));
    }
    std::vector<char> bytes(static_cast<std::size_t>(size));
    ::WideCharToMultiByte(kCodePage, 0, text, wide, bytes.data(), size, nullptr, nullptr);
    return std::string(bytes.data(), bytes.size());
}

// Takes a BSTR that a call handed over and frees it.
std::string takeText(BSTR text) {
    struct Free {
        BSTR text;
        ~Free() { ::SysFreeString(text); }
    } owner{text};
    return toCodePage(text, ::SysStringLen(text));
}

// A VARIANT cleared at the end of its scope.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};

// Wraps an interface pointer that a call handed over; nothing for a null
// one, so that its first use raises E_POINTER.
template <typename Wrapper, typename T> std::unique_ptr<Wrapper> wrap(T* object) {
    return object != nullptr ? std::make_unique<Wrapper>(object) : nullptr;
}

class AdoError : public Error {
public:
    explicit AdoError(ado::IAdoError* error) : error_(error) {}
    std::string description() override {
        BSTR text = nullptr;
        check(error_->get_Description(&text));
        return takeText(text);
    }

private:
    ComRef<ado::IAdoError> error_;
};

class AdoErrors : public Errors {
public:
    explicit AdoErrors(ado::IAdoErrors* errors) : errors_(errors) {}
    std::int32_t count() override {
        LONG count = 0;
        check(errors_->get_Count(&count));
        return count;
    }
    std::unique_ptr<Error> item(std::int16_t index) override {
        VARIANT position;
        ::VariantInit(&position);
        position.vt = VT_I2;
        position.iVal = index;
        ado::IAdoError* error = nullptr;
        check(errors_->get_Item(position, &error));
        return wrap<AdoError>(error);
    }

private:
    ComRef<ado::IAdoErrors> errors_;
};

class AdoField : public Field {
public:
    explicit AdoField(ado::IAdoField* field) : field_(field) {}
    std::string name() override {
        BSTR text = nullptr;
        check(field_->get_Name(&text));
        return takeText(text);
    }

private:
    ComRef<ado::IAdoField> field_;
};

class AdoFields : public Fields {
public:
    explicit AdoFields(ado::IAdoFields* fields) : fields_(fields) {}
    std::int32_t count() override {
        LONG count = 0;
        check(fields_->get_Count(&count));
        return count;
    }
    std::unique_ptr<Field> item(std::int32_t index) override {
        VARIANT position;
        ::VariantInit(&position);
        position.vt = VT_I4;
        position.lVal = index;
        ado::IAdoField* field = nullptr;
        check(fields_->get_Item(position, &field));
        return wrap<AdoField>(field);
    }

private:
    ComRef<ado::IAdoFields> fields_;
};

class AdoConnection : public Connection {
public:
    explicit AdoConnection(ado::IAdoConnection* connection) : connection_(connection) {}
    void open(const std::string& connectionString, const std::string& userId, const std::string& password,
              std::int32_t options) override {
        const Bstr text(connectionString);
        const Bstr user(userId);
        const Bstr secret(password);
        check(connection_->Open(text.get(), user.get(), secret.get(), options));
    }
    void close() override { check(connection_->Close()); }
    std::unique_ptr<Errors> errors() override {
        ado::IAdoErrors* errors = nullptr;
        check(connection_->get_Errors(&errors));
        return wrap<AdoErrors>(errors);
    }
    ado::IAdoConnection* object() const { return connection_.get(); }

private:
    ComRef<ado::IAdoConnection> connection_;
};

class AdoRecordset : public Recordset {
public:
    explicit AdoRecordset(ado::IAdoRecordset* recordset) : recordset_(recordset) {}
    void open(const std::string& source, Connection& activeConnection, std::int32_t cursorType, std::int32_t lockType,
              std::int32_t options) override {
        ado::IAdoConnection* connection = adoConnection(activeConnection);
        if (connection == nullptr) {
            throw ComError(E_INVALIDARG);
        }
        Variant text;
        text.get().vt = VT_BSTR;
        text.get().bstrVal = Bstr(source).release();
        // The variant holds a reference of its own for the call.
        Variant active;
        active.get().vt = VT_DISPATCH;
        active.get().pdispVal = connection;
        connection->AddRef();
        check(recordset_->Open(text.get(), active.get(), cursorType, lockType, options));
    }
    bool eof() override {
        VARIANT_BOOL atEnd = VARIANT_FALSE;
        check(recordset_->get_EOF(&atEnd));
        return atEnd != VARIANT_FALSE;
    }
    std::string collect(std::int32_t index) override {
        VARIANT position;
        ::VariantInit(&position);
        position.vt = VT_I4;
        position.lVal = index;
        Variant value;
        check(recordset_->get_Collect(position, &value.get()));
        // A value of another type is converted; one that has no text (a
        // null) fails like any other call.
        if (value.get().vt != VT_BSTR) {
            check(::VariantChangeType(&value.get(), &value.get(), 0, VT_BSTR));
        }
        return toCodePage(value.get().bstrVal, ::SysStringLen(value.get().bstrVal));
    }
    void moveNext() override { check(recordset_->MoveNext()); }
    void close() override { check(recordset_->Close()); }
    std::unique_ptr<Fields> fields() override {
        ado::IAdoFields* fields = nullptr;
        check(recordset_->get_Fields(&fields));
        return wrap<AdoFields>(fields);
    }

private:
    ComRef<ado::IAdoRecordset> recordset_;
};

constexpr DWORD kServerKinds = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// Creates the object of a ProgID with the interface `iid`.
template <typename T> HRESULT create(const wchar_t* progId, const GUID& iid, T** object) {
    CLSID clsid;
    const HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) {
        return hr;
    }
    return ::CoCreateInstance(clsid, nullptr, kServerKinds, iid, reinterpret_cast<void**>(object));
}

class AdoFactory : public Factory {
public:
    std::shared_ptr<Connection> createConnection() override {
        ComRef<ado::IAdoConnection> connection;
        if (FAILED(create(L"ADODB.Connection", ado::kIidConnection, connection.put())) || connection.get() == nullptr) {
            return nullptr;
        }
        return std::make_shared<AdoConnection>(connection.release());
    }
    std::unique_ptr<Recordset> createRecordset() override {
        ComRef<ado::IAdoRecordset> recordset;
        const HRESULT hr = create(L"ADODB.Recordset", ado::kIidRecordset, recordset.put());
        if (hr != E_NOINTERFACE) {
            check(hr);
        }
        return wrap<AdoRecordset>(recordset.release());
    }
};

} // namespace

ado::IAdoConnection* adoConnection(Connection& connection) {
    auto* ours = dynamic_cast<AdoConnection*>(&connection);
    return ours != nullptr ? ours->object() : nullptr;
}

Factory& systemFactory() {
    static AdoFactory factory;
    return factory;
}

} // namespace schema
