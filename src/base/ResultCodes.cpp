#include "base/ResultCodes.h"

std::string ResultText(int code)
{
    switch (code)
    {
    case kOk:
        return "done";
    case kErrNoInput:
        return "there is nothing to work on";
    case kErrOpen:
        return "a file cannot be opened, created or written";
    case kErrNoBand:
        return "there is no rubber band to take off";
    case kErrNoRecord:
        return "a record cannot be read";
    case kErrCancelled:
        return "cancelled; nothing was written";
    case kErrDamaged:
        return "a file made from another failed its checks";
    default:
        return "result " + std::to_string(code);
    }
}
