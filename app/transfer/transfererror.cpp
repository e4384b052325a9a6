#include "app/transfer/transfererror.h"

#include <cstring>

TransferError TransferError::FromErrno(Operation operation, const QString& target, int errorNumber)
{
    return {operation, target, QString::fromLocal8Bit(std::strerror(errorNumber)), errorNumber};
}
