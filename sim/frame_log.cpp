#include "frame_log.h"

#include <algorithm>

std::size_t appendBounded(std::vector<std::uint8_t> &frame, const std::uint8_t *data,
                          std::size_t size)
{
    const std::size_t room = MaxFrameBytes - std::min(frame.size(), MaxFrameBytes);
    const std::size_t kept = std::min(room, size);
    frame.insert(frame.end(), data, data + kept);
    return size - kept;
}

std::string boundedLine(std::string text)
{
    if (text.size() <= MaxLogLine)
        return text;
    // The marker's length depends on the count it shows; room for 20 digits.
    const std::size_t kept = MaxLogLine - 40;
    const std::string marker = " ... [cut: " + std::to_string(text.size() - kept) + " more]";
    text.resize(kept);
    return text + marker;
}
