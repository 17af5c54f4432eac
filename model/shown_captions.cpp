#include "model/shown_captions.h"

#include <QCoreApplication>

#include "platform/ui/uir.h"

std::string ShownCaption(const RegisterControl& control)
{
    if (control.context.empty() || control.caption.empty()) return control.caption;
    return QCoreApplication::translate(control.context.c_str(), control.caption.c_str(),
                                       control.constant.c_str())
        .toStdString();
}

std::string ShownRegisterCaption(const RegisterEntry& entry)
{
    if (entry.controls.empty()) return entry.caption;
    const RegisterControl& c = entry.controls.front();
    const std::string shown = ShownCaption(c);
    if (shown.empty()) return entry.caption;
    const bool numbered =
        entry.caption.size() > c.caption.size() && entry.caption.compare(0, c.caption.size(), c.caption) == 0;
    return numbered ? shown + entry.caption.substr(c.caption.size()) : shown;
}

std::string ShownPageCaption(const RegisterEntry& entry)
{
    // The page's own caption is a message of the page's context, without a constant.
    const RegisterControl* c = entry.controls.empty() ? nullptr : &entry.controls.front();
    if (c == nullptr || entry.page.empty() || c->pageCaption != entry.page || c->context.empty())
        return entry.page;
    return uirfile::SplitAccelerator(
               QCoreApplication::translate(c->context.c_str(), entry.page.c_str()).toStdString())
        .text;
}
