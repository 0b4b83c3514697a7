// A problem as a value: what an operation could not do, in the words the user reads, and the
// system's reason for it. Operations of the outputs hand it back instead of telling it, so that the
// edge shows it its own way: a message box, stderr, a batch's status row.
#pragma once

#include "base/ResultCodes.h"

#include <string>
#include <utility>

struct Problem
{
    int code = kOk;
    std::string text;   // the message; a second line when it must always be seen (a folder in the way)
    std::string reason; // the system's reason ("No space left on device"); empty when there is none

    [[nodiscard]] bool IsOk() const { return code == kOk; }
};

// A failure with its code, text and reason (an empty text: nothing to tell, as after a cancel).
[[nodiscard]] inline Problem Failure(int code, std::string text, std::string reason = {})
{
    return Problem{code, std::move(text), std::move(reason)};
}

// Shows the problem through the message sink with its reason; nothing for a problem without text.
void Tell(const Problem& problem);
