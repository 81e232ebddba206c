// Stand-ins on a private session bus for the menu's tests: an object that
// owns a name (ferrowick's Process, or the desktop's notification service)
// and records each call's arguments.
#pragma once

#include <gio/gio.h>

#include <string>
#include <vector>

#include "platform/bus_names.h"

namespace tessa::test {

constexpr const char* kIntrospection =
    "<node><interface name='" TESSA_BUS_FERROWICK_PROCESS_INTERFACE "'>"
    "<method name='ProcessFiles'><arg type='as'/><arg type='s'/><arg type='b'/><arg type='b'/><arg type='b'/>"
    "<arg type='b'/><arg type='s'/></method>"
    "<method name='AppendFiles'><arg type='as'/><arg type='s'/><arg type='s'/><arg type='b'/><arg type='b'/>"
    "<arg type='v'/></method>"
    "<method name='ConvertAndAppendFiles'><arg type='as'/><arg type='s'/><arg type='b'/><arg type='s'/>"
    "<arg type='b'/><arg type='b'/><arg type='v'/><arg type='s'/></method>"
    "</interface></node>";

constexpr const char* kNotifications =
    "<node><interface name='org.freedesktop.Notifications'>"
    "<method name='Notify'><arg type='s'/><arg type='u'/><arg type='s'/><arg type='s'/><arg type='s'/>"
    "<arg type='as'/><arg type='a{sv}'/><arg type='i'/><arg type='u' direction='out'/></method>"
    "</interface></node>";

// Owns a name on the bus at address with one object and records the calls
// (ferrowick's Process unless told otherwise). Its calls are served while
// the thread's main context iterates.
class StandInProcess {
 public:
  explicit StandInProcess(const std::string& address, const char* service = bus::kFerrowickService,
                          const char* path = bus::kFerrowickProcessPath, const char* introspection = kIntrospection) {
    bus_ = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!bus_) return;
    node_ = g_dbus_node_info_new_for_xml(introspection, nullptr);
    static const GDBusInterfaceVTable vtable = {OnCall, nullptr, nullptr, {}};
    g_dbus_connection_register_object(bus_, path, node_->interfaces[0], &vtable, this, nullptr, nullptr);
    GVariant* r = g_dbus_connection_call_sync(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "RequestName",
                                              g_variant_new("(su)", service, 4u), nullptr,
                                              G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
    if (r) {
      owned_ = true;
      g_variant_unref(r);
    }
  }
  ~StandInProcess() {
    if (node_) g_dbus_node_info_unref(node_);
    if (bus_) {
      g_dbus_connection_close_sync(bus_, nullptr, nullptr);
      g_object_unref(bus_);
    }
  }
  bool owned() const { return owned_; }

  std::vector<std::string> calls;

 private:
  static void OnCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
    gchar* text = g_variant_print(parameters, FALSE);
    static_cast<StandInProcess*>(self)->calls.push_back(std::string(method) + text);
    g_free(text);
    // Notify answers with the notification's number.
    const bool bNumbered = g_dbus_method_invocation_get_method_info(invocation)->out_args[0] != nullptr;
    g_dbus_method_invocation_return_value(invocation, bNumbered ? g_variant_new("(u)", 7u) : nullptr);
  }

  GDBusConnection* bus_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  bool owned_ = false;
};

}  // namespace tessa::test
