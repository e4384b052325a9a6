#pragma once
// Conversion of 8-bit text in a numbered code page to Unicode.

#include <QByteArray>
#include <QString>

constexpr unsigned int CP_ACP = 0;   // the locale's character set
constexpr unsigned int CP_OEMCP = 1; // the console character set (taken as CP437)
constexpr unsigned int CP_UTF7 = 65000;
constexpr unsigned int CP_UTF8 = 65001;

// The iconv name of a code page number ("CP1252", "ISO-8859-2", the locale's
// character set for CP_ACP, ...).
QByteArray codePageCharset(unsigned int CodePage);

// S decoded from CodePage. A code page that cannot be used falls back to the
// locale's character set (CP_ACP); when that fails too, the result is one "?" per
// byte of S. Bytes that are not valid in the code page become U+FFFD. An empty S
// gives an empty result without consulting the converter.
QString StringToWideString(unsigned int CodePage, const QByteArray& S);
