// The ADO 2.x COM interfaces Brennick calls, declared by hand: their interface
// ids are the ones both Windows and Wine answer, and each vtable lists every
// method of the interface and its bases in order, whether Brennick calls it
// or not, so that the slots of the methods it does call are right.
//
// ADO's enumerations are 32-bit values and are passed here as LONG; its
// ADO_LONGPTR is pointer-sized. The hidden methods _NewEnum and _Append are
// named NewEnum and AppendWithoutValue here (names do not reach the vtable).
#pragma once

#include <oaidl.h>
#include <objbase.h>

namespace schema::ado {

static_assert(sizeof(LONG) == 4, "ADO's long is 32 bits");
static_assert(sizeof(VARIANT_BOOL) == 2, "ADO's booleans are 16 bits");
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT is passed by value: its size sets the stack layout");

using LongPtr = LONG_PTR;
static_assert(sizeof(LongPtr) == sizeof(void*), "ADO_LONGPTR is pointer-sized");

// {0000xxxx-0000-0010-8000-00AA006D2EA4}
constexpr GUID adoGuid(unsigned long first) {
    return GUID{first, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
}

constexpr GUID kIidConnection = adoGuid(0x00000550);
constexpr GUID kIidRecordset = adoGuid(0x00000556);
constexpr GUID kIidFields = adoGuid(0x00000564);
constexpr GUID kIidField = adoGuid(0x00000569);
constexpr GUID kIidErrors = adoGuid(0x00000501);
constexpr GUID kIidError = adoGuid(0x00000500);

// _ADO
struct IAdoObject : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Properties(IDispatch** properties) = 0;
};

// _Collection
struct IAdoCollection : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
};

// Error (00000500)
struct IAdoError : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Number(LONG* number) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpContext(LONG* helpContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SQLState(BSTR* sqlState) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NativeError(LONG* nativeError) = 0;
};

// Errors (00000501)
struct IAdoErrors : public IAdoCollection {
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IAdoError** error) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

// Field20, then Field (00000569)
struct IAdoField : public IAdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_ActualSize(LongPtr* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(LONG* attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefinedSize(LongPtr* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Type(LONG* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Precision(BYTE* precision) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NumericScale(BYTE* scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE AppendChunk(VARIANT data) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChunk(LONG length, VARIANT* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_OriginalValue(VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UnderlyingValue(VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DataFormat(IUnknown** format) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_DataFormat(IUnknown* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Precision(BYTE precision) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_NumericScale(BYTE scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Type(LONG type) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefinedSize(LongPtr size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Attributes(LONG attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Status(LONG* status) = 0;
};

// Fields15, Fields20, then Fields (00000564)
struct IAdoFields : public IAdoCollection {
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IAdoField** field) = 0;
    virtual HRESULT STDMETHODCALLTYPE AppendWithoutValue(BSTR name, LONG type, LongPtr size, LONG attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(VARIANT index) = 0;
    virtual HRESULT STDMETHODCALLTYPE Append(BSTR name, LONG type, LongPtr size, LONG attributes, VARIANT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Update() = 0;
    virtual HRESULT STDMETHODCALLTYPE Resync(LONG resyncValues) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelUpdate() = 0;
};

struct IAdoRecordset;

// Connection15, then _Connection (00000550)
struct IAdoConnection : public IAdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionString(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CommandTimeout(LONG* timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CommandTimeout(LONG timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(LONG* timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(LONG timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Execute(BSTR command, VARIANT* recordsAffected, LONG options,
                                              IAdoRecordset** recordset) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginTrans(LONG* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommitTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE RollbackTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR connectionString, BSTR userId, BSTR password, LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Errors(IAdoErrors** errors) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultDatabase(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultDatabase(BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsolationLevel(LONG* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsolationLevel(LONG level) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(LONG* attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Attributes(LONG attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorLocation(LONG* location) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorLocation(LONG location) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Mode(LONG* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Mode(LONG mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Provider(BSTR* provider) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Provider(BSTR provider) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(LONG* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenSchema(LONG schema, VARIANT restrictions, VARIANT schemaId,
                                                 IAdoRecordset** recordset) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
};

// Recordset15, Recordset20, Recordset21, then _Recordset (00000556)
struct IAdoRecordset : public IAdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_AbsolutePosition(LongPtr* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AbsolutePosition(LongPtr position) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_ActiveConnection(IDispatch* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ActiveConnection(VARIANT connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ActiveConnection(VARIANT* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BOF(VARIANT_BOOL* bof) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bookmark(VARIANT* bookmark) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bookmark(VARIANT bookmark) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CacheSize(LONG* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CacheSize(LONG size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorType(LONG* cursorType) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorType(LONG cursorType) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* eof) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Fields(IAdoFields** fields) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LockType(LONG* lockType) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_LockType(LONG lockType) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MaxRecords(LongPtr* maxRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MaxRecords(LongPtr maxRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RecordCount(LongPtr* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_Source(IDispatch* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Source(BSTR source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(VARIANT* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddNew(VARIANT fieldList, VARIANT values) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelUpdate() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(LONG affectRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRows(LONG rows, VARIANT start, VARIANT fields, VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(LongPtr numRecords, VARIANT start) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveNext() = 0;
    virtual HRESULT STDMETHODCALLTYPE MovePrevious() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveFirst() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveLast() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(VARIANT source, VARIANT activeConnection, LONG cursorType, LONG lockType,
                                           LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE Requery(LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE _xResync(LONG affectRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT fields, VARIANT values) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AbsolutePage(LongPtr* page) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AbsolutePage(LongPtr page) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EditMode(LONG* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Filter(VARIANT* criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Filter(VARIANT criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageCount(LongPtr* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageSize(LONG* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PageSize(LONG size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Sort(BSTR* criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Sort(BSTR criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Status(LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(LONG* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE _xClone(IAdoRecordset** clone) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateBatch(LONG affectRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelBatch(LONG affectRecords) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorLocation(LONG* location) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorLocation(LONG location) = 0;
    virtual HRESULT STDMETHODCALLTYPE NextRecordset(VARIANT* recordsAffected, IAdoRecordset** next) = 0;
    virtual HRESULT STDMETHODCALLTYPE Supports(LONG cursorOptions, VARIANT_BOOL* supported) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Collect(VARIANT index, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Collect(VARIANT index, VARIANT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarshalOptions(LONG* options) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarshalOptions(LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE Find(BSTR criteria, LONG skipRecords, LONG searchDirection, VARIANT start) = 0;
    // Recordset20
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DataSource(IUnknown** dataSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_DataSource(IUnknown* dataSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE _xSave(BSTR fileName, LONG persistFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ActiveCommand(IDispatch** command) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_StayInSync(VARIANT_BOOL stayInSync) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_StayInSync(VARIANT_BOOL* stayInSync) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetString(LONG stringFormat, LONG numRows, BSTR columnDelimiter,
                                                BSTR rowDelimiter, BSTR nullExpression, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DataMember(BSTR* dataMember) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DataMember(BSTR dataMember) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareBookmarks(VARIANT bookmark1, VARIANT bookmark2, LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(LONG lockType, IAdoRecordset** clone) = 0;
    virtual HRESULT STDMETHODCALLTYPE Resync(LONG affectRecords, LONG resyncValues) = 0;
    // Recordset21
    virtual HRESULT STDMETHODCALLTYPE Seek(VARIANT keyValues, LONG seekOption) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Index(BSTR index) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Index(BSTR* index) = 0;
    // _Recordset
    virtual HRESULT STDMETHODCALLTYPE Save(VARIANT destination, LONG persistFormat) = 0;
};

} // namespace schema::ado
