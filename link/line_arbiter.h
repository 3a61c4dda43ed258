#pragma once

class Link;

// The one owner of the serial line at a time. Everything the program sends
// and receives passes through send() and receive(), and two rules keep the
// frames of the line apart, as one handler after another kept them apart in
// a program that blocked for each exchange:
//
// - A holder (a window's chain) keeps the line across the exchanges that one
//   command makes in one go, although the event loop runs between them.
//   Whoever else wants the line meanwhile (a poll's tick, another command, an
//   event that stops work) calls awaitFree() first: the holder makes those
//   exchanges at once, and the other use follows them, never comes between.
//   Nothing is queued, so a periodic tick that falls due while the line is
//   held runs once, after the held exchanges.
// - A request goes out only on a quiet line: after a receive that ended in
//   silence with nothing or one whole frame. After a request whose reply was
//   not collected, or a receive that ended in a damaged or endless run (the
//   rest of a reply may still be on its way), the line is drained first.
class LineArbiter
{
public:
    class Holder
    {
    public:
        // Makes the exchanges the line is held for now, then lets it go (or
        // waits for a timer without it); false when it is making one right
        // now (whoever asks is part of it).
        virtual bool completeHeld() = 0;

    protected:
        ~Holder() = default;
    };

    explicit LineArbiter(Link &link);

    void hold(Holder &holder);
    void release(const Holder &holder);
    bool isHeld() const { return m_holder != nullptr; }
    // Lets the holder (other than `user`) make its held exchanges first.
    void awaitFree(const Holder *user = nullptr);

    // ReadReply.
    int receive();
    // SendCmd on a quiet line (drained first when it is not).
    bool send(int address, int function, int reg, int value);
    // The last request's reply may still arrive, or the last receive ended
    // in the middle of something.
    bool quiet() const { return m_quiet; }

private:
    Link &m_link;
    Holder *m_holder = nullptr;
    bool m_completing = false;
    bool m_quiet = true;
};
