#pragma once
// What the X server and the window manager say about a window, and the requests a user makes
// of a window manager (maximise, minimise, resize), through the program's own X connection.
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace desktop {

using Window = std::uint32_t;

Window TransientFor(Window w);
QStringList WindowTypes(Window w);   // atom names of _NET_WM_WINDOW_TYPE
QStringList WindowStates(Window w);  // atom names of _NET_WM_STATE
Window ActiveWindow();
std::vector<Window> StackingOrder();  // bottom to top, managed windows
bool Viewable(Window w);
// The window's size and its position on the root window.
QRect RootGeometry(Window w);

void RequestMaximize(Window w);
void RequestIconify(Window w);
void RequestResize(Window w, int width, int height);

}  // namespace desktop
