// The boxes the line and the port raise for the operator: the port errors
// ("Error") and the fatal port error ("ErrorCheck"). The serial floor tells
// them to the installed sink; whoever runs the console installs one (the
// window shows them as message boxes). With none installed they go to
// standard error.
#pragma once

class Notices {
public:
    virtual ~Notices() = default;
    // An error box: `title` and `text` in the console's code page (GBK). It
    // may hold the caller until the operator has acknowledged it.
    virtual void error(const char* title, const char* text) = 0;
};

// Installs `sink` (not owned) for as long as the object lives; the sink
// installed before comes back when it ends. Installed ones nest and end in the
// reverse order of their making, with no thread raising a box meanwhile.
class NoticesInstalled {
public:
    explicit NoticesInstalled(Notices& sink);
    ~NoticesInstalled();
    NoticesInstalled(const NoticesInstalled&) = delete;
    NoticesInstalled& operator=(const NoticesInstalled&) = delete;

private:
    Notices* previous_;
};

// Hands the box to the installed sink, or, with none, writes
// "drive-console: TITLE: TEXT" to standard error (the text decoded to UTF-8,
// on one line).
void NoticeError(const char* title, const char* text);

// The sink of the command line: standard error, as above.
class StderrNotices : public Notices {
public:
    void error(const char* title, const char* text) override;
};
