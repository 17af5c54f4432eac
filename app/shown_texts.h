// The texts a long-lived window shows in the technician's language, set again
// when the language changes: the window calls showAgain() from its
// changeEvent (Qt sends QEvent::LanguageChange to every window, shown or
// hidden, when a translator comes or goes). The window's state (its lists,
// recordings, typed values) stays as it is.
#pragma once

#include <functional>
#include <utility>
#include <vector>

class ShownTexts {
public:
    // Runs `show` now and again after every change of language.
    void keep(std::function<void()> show)
    {
        show();
        shows_.push_back(std::move(show));
    }
    void showAgain() const
    {
        for (const auto& show : shows_) show();
    }

private:
    std::vector<std::function<void()>> shows_;
};
