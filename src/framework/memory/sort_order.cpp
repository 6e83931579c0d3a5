#include "framework/memory/sort_order.h"

#include "text/cp936.h"

#include <cstring>
#include <iconv.h>
#include <locale.h>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fw::mem {

namespace {

constexpr const char* kSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

bool isPassedOver(unsigned char c) {
    return c == '-' || c == '\'';
}

int singleByteWeight(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return 0x300 + c;
    }
    if (c >= 'a' && c <= 'z') {
        return 0x400 + c - 'a' + 'A';
    }
    if (c >= 'A' && c <= 'Z') {
        return 0x400 + c;
    }
    const char* symbol = c == 0 ? nullptr : std::strchr(kSymbolOrder, c);
    if (symbol != nullptr) {
        return 0x100 + static_cast<int>(symbol - kSymbolOrder);
    }
    return 0x200 + c;
}

// The C library's collation of the zh_CN.UTF-8 locale, for double-byte
// characters converted from code page 936.
class Collation {
public:
    Collation() : locale_(newlocale(LC_COLLATE_MASK, "zh_CN.UTF-8", static_cast<locale_t>(nullptr))) {
        if (locale_ == static_cast<locale_t>(nullptr)) {
            throw std::runtime_error("sorted lists need the zh_CN.UTF-8 locale, which is not installed "
                                     "(scripts/setup.sh generates it)");
        }
        fromGbk_ = iconv_open("UTF-8", "GBK");
        if (fromGbk_ == reinterpret_cast<iconv_t>(-1)) {
            freelocale(locale_);
            throw std::runtime_error("sorted lists need a GBK to UTF-8 conversion, which iconv does not have");
        }
    }
    ~Collation() {
        iconv_close(fromGbk_);
        freelocale(locale_);
    }
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // Two double-byte characters, each given by its first byte.
    int compare(const char* a, const char* b) {
        const std::string ua = utf8(a);
        const std::string ub = utf8(b);
        const int order = ua.empty() || ub.empty() ? 0 : strcoll_l(ua.c_str(), ub.c_str(), locale_);
        return order != 0 ? order : std::memcmp(a, b, 2);
    }

private:
    // Empty when the character has no Unicode form.
    std::string utf8(const char* c) {
        char in[2] = {c[0], c[1]};
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        iconv(fromGbk_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(fromGbk_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::string();
        }
        return std::string(out, outPtr);
    }

    locale_t locale_;
    iconv_t fromGbk_;
};

Collation& collation() {
    static Collation instance;
    return instance;
}

int compareChars(const std::string& a, std::size_t i, std::size_t na, const std::string& b, std::size_t j,
                 std::size_t nb) {
    if (na == 2 && nb == 2) {
        return a.compare(i, 2, b, j, 2) == 0 ? 0 : collation().compare(&a[i], &b[j]);
    }
    if (na != nb) {
        return na == 2 ? 1 : -1;
    }
    return singleByteWeight(static_cast<unsigned char>(a[i])) - singleByteWeight(static_cast<unsigned char>(b[j]));
}

// The '-' and '\'' of a text, each with its place counted in characters.
std::vector<std::pair<std::size_t, char>> passedOver(const std::string& s) {
    std::vector<std::pair<std::size_t, char>> marks;
    std::size_t place = 0;
    for (std::size_t i = 0; i < s.size(); i += text::charLength(s, i), ++place) {
        if (isPassedOver(static_cast<unsigned char>(s[i]))) {
            marks.emplace_back(place, s[i]);
        }
    }
    return marks;
}

int compareMarks(const std::string& a, const std::string& b) {
    const auto ma = passedOver(a);
    const auto mb = passedOver(b);
    for (std::size_t k = 0; k < ma.size() && k < mb.size(); ++k) {
        if (ma[k].first != mb[k].first) {
            return ma[k].first > mb[k].first ? -1 : 1;
        }
        if (ma[k].second != mb[k].second) {
            return ma[k].second == '\'' ? -1 : 1;
        }
    }
    return static_cast<int>(ma.size()) - static_cast<int>(mb.size());
}

std::size_t skipPassedOver(const std::string& s, std::size_t i) {
    while (i < s.size() && isPassedOver(static_cast<unsigned char>(s[i]))) {
        ++i;
    }
    return i;
}

} // namespace

int compareForSort(const std::string& a, const std::string& b) {
    collation(); // a machine without the locale fails on every sorted list
    std::size_t i = skipPassedOver(a, 0);
    std::size_t j = skipPassedOver(b, 0);
    while (i < a.size() && j < b.size()) {
        const std::size_t na = text::charLength(a, i);
        const std::size_t nb = text::charLength(b, j);
        const int order = compareChars(a, i, na, b, j, nb);
        if (order != 0) {
            return order;
        }
        i = skipPassedOver(a, i + na);
        j = skipPassedOver(b, j + nb);
    }
    if ((i < a.size()) != (j < b.size())) {
        return i < a.size() ? 1 : -1;
    }
    return compareMarks(a, b);
}

} // namespace fw::mem
