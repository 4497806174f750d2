#include "cli/ArgumentList.h"

#include "cli/UsageError.h"

const std::string& TArgumentList::ValueOf(const std::string& option) {
    if (!More())
        throw EUsageError(option + " needs a value");
    return Next();
}
