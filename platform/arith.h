#pragma once
// Integer scaling and rounding rules that masks and blends depend on.

#include <cmath>
#include <cstdint>

// a * b / c with a 64-bit intermediate, rounded half away from zero.
// Division by zero gives -1, as the window system's MulDiv does.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t p = int64_t(a) * int64_t(b);
    const bool negative = (p < 0) != (c < 0);
    const uint64_t up = p < 0 ? uint64_t(-p) : uint64_t(p);
    const uint64_t uc = c < 0 ? uint64_t(-int64_t(c)) : uint64_t(c);
    const uint64_t q = (up + uc / 2) / uc;
    const int64_t r = negative ? -int64_t(q) : int64_t(q);
    if (r > INT32_MAX || r < INT32_MIN)
        return -1;
    return int32_t(r);
}

// Round to the nearest integer, halves to the even neighbour (the runtime's Round).
inline int64_t RoundHalfEven(double v)
{
    return int64_t(std::nearbyint(v)); // default FP rounding mode is to-nearest-even
}

// Drop the fraction toward zero (the runtime's Trunc).
inline int64_t Trunc(double v)
{
    return int64_t(std::trunc(v));
}
