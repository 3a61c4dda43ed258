#include "message_sink.h"

#include <iostream>
#include <utility>

namespace {
MessageSink &sink()
{
    static MessageSink theSink;
    return theSink;
}
} // namespace

void setMessageSink(MessageSink newSink)
{
    sink() = std::move(newSink);
}

void showMessage(const std::string &text)
{
    if (sink())
        sink()(text);
    else
        std::cerr << text << '\n';
}
