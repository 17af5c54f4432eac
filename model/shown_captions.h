// The captions of registers as the panels show them now, through the installed
// translators (model/panel_texts.h for the texts of the panels themselves).
#pragma once

#include <string>

#include "model/register_catalogue.h"

// A register's caption as its control shows it now (UTF-8); the shipped one
// without translators or when the control is unknown.
std::string ShownCaption(const RegisterControl& control);
// A register's caption (its first control's, with the number of items that
// share one kept: "Error list 2") and the caption of its parameter page, as
// the panels show them now. For windows; records and files keep the entry's own.
std::string ShownRegisterCaption(const RegisterEntry& entry);
std::string ShownPageCaption(const RegisterEntry& entry);
