// The order in which sorted list boxes and combo boxes (LBS_SORT, CBS_SORT)
// file their entries: the locale's comparison ignoring case, as Wine makes
// it in the zh_CN locale (verified against Wine's list boxes):
// - Single-byte characters: symbols, then digits, then letters without
//   regard to case. The symbols go in the order " !\"#$%&()*,./:;?@[\\]^_`
//   {|}~+<=>", so "A_C" comes before "A1" and "AB".
// - '-' and '\'' are passed over ("A-C" after "AB"). They only tell apart
//   texts that are equal without them: the text without one first, then by
//   the first of them that differs, one further into the text first, and
//   '\'' before '-' at the same place ("AB-" < "A'B" < "A-B" < "-AB").
// - Double-byte characters after every single-byte one, among themselves in
//   the order of the C library's zh_CN.UTF-8 collation, which puts Chinese
//   characters in pinyin order ("亍" chù before "中" zhōng), as the zh_CN
//   locale of Wine and Windows does.
// - A text that is the beginning of another comes first.
// Not modelled: double-byte symbols and letters (Windows files the full
// width "Ａ" next to "A"; here it goes with the other double-byte
// characters) and control characters and the bytes 0x7F, 0x80 and 0xFF
// (placed after the symbols, in code order).
#pragma once

#include <string>

namespace fw::mem {

// Negative when `a` goes before `b`, 0 when the order leaves them equal,
// positive when `a` goes after `b`. Both are texts as windowText gives them.
// Throws std::runtime_error when the zh_CN.UTF-8 locale is not installed.
int compareForSort(const std::string& a, const std::string& b);

} // namespace fw::mem
