#pragma once
// A small tokenizer over 8-bit strings and the text form of a rectangle.

#include "platform/types.h"

#include <QByteArray>

#include <bitset>

// A set of 8-bit characters; bit c is set when character c separates tokens.
using TTokenSeparators = std::bitset<256>;

// Builds a separator set from the characters of `chars`.
TTokenSeparators tokenSeparators(const QByteArray& chars);

// Removes the first token from S and returns it. The token ends at the first
// separator, which is removed with it; a string that starts with a separator
// therefore gives an empty token. Afterwards both the token and the rest of S
// are trimmed of characters with codes 0 to 32. Strings of any length work.
//
// The first form separates at space ( ) , : ; and =.
QByteArray GetToken(QByteArray& S);
// Separates at any character that occurs in Separators.
QByteArray GetToken(QByteArray& S, const QByteArray& Separators);
// Separates at the members of the set.
QByteArray GetToken(QByteArray& S, const TTokenSeparators& Separators);

// "(Left,Top,Right,Bottom)" in decimal: (1, 2, 30, 40) becomes "(1,2,30,40)".
QByteArray RectToString(const TRect& R);

// Reads Left, Top, Right and Bottom as four tokens (first GetToken form).
// "10,20,110,220" and "10 20 110 220" give (10, 20, 110, 220). Any token that is
// not a 32-bit integer makes the whole result (0, 0, 0, 0). Text written by
// RectToString starts with "(" and so reads as (0, 0, 0, 0).
TRect StringToRect(const QByteArray& S);
