#pragma once

#include <functional>
#include <string>

// Modal message boxes with an OK button, always in the text given (the link's
// port configuration failures and the enumeration failures are English only).
// The application installs a sink that shows a box; tests install one that
// records the texts. Without a sink the text goes to standard error.
using MessageSink = std::function<void(const std::string &text)>;

void setMessageSink(MessageSink sink);
void showMessage(const std::string &text);
