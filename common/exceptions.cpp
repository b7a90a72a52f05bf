// The program's exception classes.
#include "common/exceptions.h"

#include <utility>

#include "common/platform.h"

Exception::Exception(std::u16string message) : FMessage(std::move(message)), FWhat(platform::ToUtf8(FMessage)) {}
