#pragma once

// The user-interface style, as the "ui_style" preference stores it. Icons, link colours and
// a few hand-drawn colours are chosen by it.
namespace UiStyle {
enum : int { Standard = 0, Dark = 1 };
}
