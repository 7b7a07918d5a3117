#include "X11Probe.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace desktop {
namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root() {
  return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
}

xcb_atom_t Atom(const char* name) {
  xcb_connection_t* c = Connection();
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

QString AtomName(xcb_atom_t atom) {
  xcb_connection_t* c = Connection();
  auto* reply = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
  if (!reply) return {};
  const QString name =
      QString::fromLatin1(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
  std::free(reply);
  return name;
}

std::vector<std::uint32_t> Property32(xcb_window_t w, xcb_atom_t property) {
  xcb_connection_t* c = Connection();
  auto* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
  std::vector<std::uint32_t> values;
  if (reply && reply->format == 32) {
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    values.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}

QStringList AtomNames(Window w, const char* property) {
  QStringList names;
  for (std::uint32_t atom : Property32(w, Atom(property))) names << AtomName(atom);
  return names;
}

void ClientMessage(Window w, const char* type, std::uint32_t d0, std::uint32_t d1,
                   std::uint32_t d2) {
  xcb_client_message_event_t e;
  std::memset(&e, 0, sizeof e);
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = w;
  e.type = Atom(type);
  e.data.data32[0] = d0;
  e.data.data32[1] = d1;
  e.data.data32[2] = d2;
  e.data.data32[3] = 1;
  xcb_send_event(Connection(), 0, Root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&e));
  xcb_flush(Connection());
}

}  // namespace

Window TransientFor(Window w) {
  const auto v = Property32(w, XCB_ATOM_WM_TRANSIENT_FOR);
  return v.empty() ? 0 : v[0];
}

QStringList WindowTypes(Window w) {
  return AtomNames(w, "_NET_WM_WINDOW_TYPE");
}

QStringList WindowStates(Window w) {
  return AtomNames(w, "_NET_WM_STATE");
}

Window ActiveWindow() {
  const auto v = Property32(Root(), Atom("_NET_ACTIVE_WINDOW"));
  return v.empty() ? 0 : v[0];
}

std::vector<Window> StackingOrder() {
  return Property32(Root(), Atom("_NET_CLIENT_LIST_STACKING"));
}

bool Viewable(Window w) {
  xcb_connection_t* c = Connection();
  auto* reply = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
  const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(reply);
  return viewable;
}

QRect RootGeometry(Window w) {
  xcb_connection_t* c = Connection();
  auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
  if (!g) return {};
  auto* t =
      xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, Root(), 0, 0), nullptr);
  QRect r(t ? t->dst_x : 0, t ? t->dst_y : 0, g->width, g->height);
  std::free(t);
  std::free(g);
  return r;
}

void RequestMaximize(Window w) {
  ClientMessage(w, "_NET_WM_STATE", 1, Atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                Atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

void RequestIconify(Window w) {
  ClientMessage(w, "WM_CHANGE_STATE", 3 /* IconicState */, 0, 0);
}

void RequestResize(Window w, int width, int height) {
  const std::uint32_t values[] = {std::uint32_t(width), std::uint32_t(height)};
  xcb_configure_window(Connection(), w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
  xcb_flush(Connection());
}

}  // namespace desktop
