#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// quorelsim started as a child process, its standard output on a pipe.
class QuorelsimProcess
{
public:
    QuorelsimProcess() = default;
    QuorelsimProcess(const QuorelsimProcess &) = delete;
    QuorelsimProcess &operator=(const QuorelsimProcess &) = delete;
    ~QuorelsimProcess();

    // Starts it and waits for the line with its slave terminal.
    bool start(const std::vector<std::string> &args);
    const std::string &slavePath() const { return m_slave; }
    // Waits until its output contains text.
    bool waitForOutput(const std::string &text, int timeoutMs = 2000);
    // Waits until its output satisfies done.
    bool waitForOutput(const std::function<bool(const std::string &output)> &done, int timeoutMs);
    // Sends the signal and waits for the end: the exit code, or -1 when it
    // did not end by itself in time (it is killed then).
    int stop(int signal);
    // Runs it to its end (for options that do not start the simulator).
    static int run(const std::vector<std::string> &args, std::string &output);

    std::string output() const { return m_output; }
    // Requests that met a reply on the line, as its log counted them so far.
    int collisions() const;

private:
    bool collect(int timeoutMs);

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_output;
    std::string m_slave;
    bool m_ended = false; // its output reached its end
};

// A terminal opened raw at 8N1, for frames written by hand.
class RawPort
{
public:
    RawPort() = default;
    RawPort(const RawPort &) = delete;
    RawPort &operator=(const RawPort &) = delete;
    ~RawPort();

    bool open(const std::string &path, int baudRate);
    bool setRate(int baudRate);
    bool send(const std::vector<std::uint8_t> &bytes);
    // Bytes that arrive within timeoutMs, up to the first 30 ms of silence.
    std::vector<std::uint8_t> receive(int timeoutMs);

private:
    int m_fd = -1;
};

// A request frame with its CRC.
std::vector<std::uint8_t> requestFrame(int address, int function, int reg, int value);
bool frameCrcOk(const std::vector<std::uint8_t> &frame);
