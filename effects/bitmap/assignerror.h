#pragma once
// The framework's assignment error, raised when Assign is given an object of a
// class it cannot copy from.

#include <stdexcept>

class QObject;

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws EConvertError "Cannot assign a <source class> to a <target class>"
// ("nil" for a null source).
[[noreturn]] void raiseAssignError(const QObject* Source, const QObject* Target);
