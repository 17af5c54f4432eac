// The texts of the panels that messages, windows and help texts name: a menu
// entry, a button, a box, a panel's title. They are read from the panel
// resources, as LoadPanel reads them, so that each text is written in one
// place and a message always names what the operator sees.
#pragma once

#include <string>

// What the operator reads for `constant` in panel `panel` of resource file
// `file` (UTF-8): the panel's title (by the panel's constant), a menu entry's
// or menu item's caption, a box's title (by the box's name), or a control's
// caption (on the panel or one of its tab pages, the panel first), with the
// accelerator mark removed: "__OK" reads "OK". When the file
// cannot be read or holds no such thing: `constant` itself. Each file is
// read once; safe from any thread.
std::string PanelText(const std::string& file, int panel, const std::string& constant);

// The same text as the panels show it now: through the installed translators
// (the shipped text when there are none). For texts that name a panel's
// caption to a person; records and files keep PanelText.
std::string ShownPanelText(const std::string& file, int panel, const std::string& constant);
// The captions of registers as shown now: model/shown_captions.h.

// Reads the files again on the next use (with the register catalogue: tests
// that change the resources).
void ResetPanelTexts();
