#pragma once
// How screen readers see a TMathBotao: a button (a toggle button when
// ManterClicado is set) whose name and description are the widget's
// accessible name and description, with a press action that presses it as a
// click does.

namespace zel {

// Makes Qt's accessibility use the button's interface; once is enough, more
// calls do nothing.
void InstallMathBotaoAccessibility();

}  // namespace zel
