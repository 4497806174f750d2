#include "cli/NewWatchOptions.h"

#include "cli/ArgumentList.h"
#include "cli/UsageError.h"

namespace {

int AlertAfterOf(const std::string& value) {
    bool digits = !value.empty() && value.size() <= 6 &&
                  value.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(value) < 1)
        throw EUsageError("--alert-after needs a number of searches from 1 to 999999, not '" +
                          value + "'");
    return std::stoi(value);
}

std::string NonEmpty(const std::string& option, const std::string& value) {
    if (value.empty())
        throw EUsageError(option + " needs a value that is not empty");
    return value;
}

bool TakesValue(const std::string& searchOption) {
    return searchOption == "--ini" || searchOption == "--exclude" || searchOption == "--board" ||
           searchOption == "--proxy";
}

} // namespace

TNewWatchOptions TakeNewWatchOptions(std::vector<std::string>& arguments) {
    TNewWatchOptions options;
    bool lastingOnly = false;
    std::vector<std::string> rest;
    TArgumentList list(arguments);
    while (list.More()) {
        const std::string& argument = list.Next();
        if (argument == "--new") {
            options.New = true;
        } else if (argument == "--state") {
            options.StateFile = NonEmpty(argument, list.ValueOf(argument));
            lastingOnly = true;
        } else if (argument == "--exec") {
            options.HookCommand = NonEmpty(argument, list.ValueOf(argument));
            lastingOnly = true;
        } else if (argument == "--alert-after") {
            options.AlertAfter = AlertAfterOf(list.ValueOf(argument));
            lastingOnly = true;
        } else {
            rest.push_back(argument);
            // A search option's value stays with it, whatever it looks like.
            if (TakesValue(argument) && list.More())
                rest.push_back(list.Next());
        }
    }
    if (lastingOnly && !options.New)
        throw EUsageError("--state, --exec and --alert-after go with watch --new");
    arguments = rest;
    return options;
}
