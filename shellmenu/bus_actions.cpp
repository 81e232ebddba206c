#include "shellmenu/bus_actions.h"

#include <gio/gio.h>

#include <cstdio>
#include <memory>

#include "platform/application_id.h"
#include "platform/bus_names.h"

namespace tessa {
namespace {

// A reply to ferrowick comes at once; activation of the program may take a
// while on a busy machine.
constexpr int kCallTimeoutMs = 120 * 1000;

// The desktop's notification service.
constexpr const char* kNotifications = "org.freedesktop.Notifications";
constexpr const char* kNotificationsPath = "/org/freedesktop/Notifications";
constexpr int kNotifyTimeoutMs = kCallTimeoutMs;

GVariant* PathList(const std::vector<std::string>& files) {
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("as"));
  for (const std::string& f : files) g_variant_builder_add(&b, "s", f.c_str());
  return g_variant_builder_end(&b);
}

void IgnoreReply(GObject* source, GAsyncResult* result, gpointer) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply) g_variant_unref(reply);
  if (error) {
    std::fprintf(stderr, "menuvane: ferrowick: %s\n", error->message);
    g_error_free(error);
  }
}

void WriteWarning(const std::string& sText, const std::string& sTitle) {
  std::fprintf(stderr, "%s: %s\n", sTitle.c_str(), sText.c_str());
}

// Notify's arguments: a warning's icon, the program named by its desktop
// entry; the body is markup to the service, so the text's own "<" and "&"
// are escaped.
GVariant* NotifyArguments(const std::string& sText, const std::string& sTitle) {
  gchar* body = g_markup_escape_text(sText.c_str(), -1);
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&hints, "{sv}", "urgency", g_variant_new_byte(1));
  g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string(kApplicationId));
  GVariant* args = g_variant_new("(susss@asa{sv}i)", "Tessaprint", 0u, "dialog-warning", sTitle.c_str(), body,
                                 g_variant_new_strv(nullptr, 0), &hints, -1);
  g_free(body);
  return args;
}

struct Warning {
  std::string sText, sTitle;
};

void NotifyReplied(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Warning> warning(static_cast<Warning*>(data));
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply) g_variant_unref(reply);
  if (error) {
    WriteWarning(warning->sText, warning->sTitle);
    g_error_free(error);
  }
}

}  // namespace

BusContextMenuActions::BusContextMenuActions(std::string sTessaprint, bool bWait)
    : sTessaprint_(std::move(sTessaprint)), bWait_(bWait) {}

BusContextMenuActions::~BusContextMenuActions() {
  if (bus_) g_object_unref(bus_);
}

bool BusContextMenuActions::Connect() {
  if (bus_) return true;
  // The bus is reached only by the commands that need it.
  GError* error = nullptr;
  bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (error) {
    lastError_ = error->message;
    g_error_free(error);
    return false;
  }
  return bus_ != nullptr;
}

GVariant* BusContextMenuActions::Call(const char* method, GVariant* args) {
  g_variant_ref_sink(args);
  lastError_.clear();
  if (!Connect()) {
    g_variant_unref(args);
    return nullptr;
  }
  if (bWait_) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus_, bus::kFerrowickService, bus::kFerrowickProcessPath,
                                                  bus::kFerrowickProcessInterface, method, args, nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
    if (error) {
      lastError_ = error->message;
      g_error_free(error);
    }
    g_variant_unref(args);
    return reply;
  }
  g_dbus_connection_call(bus_, bus::kFerrowickService, bus::kFerrowickProcessPath, bus::kFerrowickProcessInterface,
                         method, args, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, IgnoreReply,
                         nullptr);
  g_variant_unref(args);
  return nullptr;
}

void BusContextMenuActions::ProcessFiles(const std::vector<std::string>& files, const std::string& sParameters,
                                         bool bOverwrite, bool bOpenFile, bool bDoSubfolders,
                                         bool bSaveToOriginalFolder, const std::string& sFileFromLowestBranch) {
  GVariant* reply = Call("ProcessFiles", g_variant_new("(@assbbbbs)", PathList(files), sParameters.c_str(),
                                                       bOverwrite, bOpenFile, bDoSubfolders, bSaveToOriginalFolder,
                                                       sFileFromLowestBranch.c_str()));
  if (reply) g_variant_unref(reply);
}

void BusContextMenuActions::AppendFiles(const std::vector<std::string>& files, const std::string& sParameters,
                                        const std::string& sOutFile, bool bOpenFile, bool bDoSubfolders,
                                        long lSaveToOriginalFolder) {
  GVariant* reply = Call("AppendFiles", g_variant_new("(@asssbbv)", PathList(files), sParameters.c_str(),
                                                      sOutFile.c_str(), bOpenFile, bDoSubfolders,
                                                      g_variant_new_int32(static_cast<gint32>(lSaveToOriginalFolder))));
  if (reply) g_variant_unref(reply);
}

void BusContextMenuActions::ConvertAndAppendFiles(const std::vector<std::string>& files,
                                                  const std::string& sParameters, bool bOverwrite,
                                                  const std::string& sOutFile, bool bOpenFile, bool bDoSubfolders,
                                                  long lSaveToOriginalFolder,
                                                  const std::string& sFileFromLowestBranch) {
  GVariant* reply = Call("ConvertAndAppendFiles",
                         g_variant_new("(@assbsbbvs)", PathList(files), sParameters.c_str(), bOverwrite,
                                       sOutFile.c_str(), bOpenFile, bDoSubfolders,
                                       g_variant_new_int32(static_cast<gint32>(lSaveToOriginalFolder)),
                                       sFileFromLowestBranch.c_str()));
  if (reply) g_variant_unref(reply);
}

void BusContextMenuActions::StartTessaprint(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(sTessaprint_.c_str()));
  for (const std::string& w : arguments) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  GError* error = nullptr;
  if (!g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, &error)) {
    lastError_ = error->message;
    g_error_free(error);
  }
}

void BusContextMenuActions::ShowWarning(const std::string& sText, const std::string& sTitle) {
  if (!Connect()) {
    WriteWarning(sText, sTitle);
    return;
  }
  GVariant* args = NotifyArguments(sText, sTitle);
  if (!bWait_) {
    // A file manager does not wait: the answer, or the lack of one, comes
    // back through its main loop.
    g_dbus_connection_call(bus_, kNotifications, kNotificationsPath, kNotifications, "Notify", args,
                           G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kNotifyTimeoutMs, nullptr, NotifyReplied,
                           new Warning{sText, sTitle});
    return;
  }
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus_, kNotifications, kNotificationsPath, kNotifications, "Notify",
                                                args, G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE,
                                                kNotifyTimeoutMs, nullptr, &error);
  if (reply) g_variant_unref(reply);
  if (error) {
    WriteWarning(sText, sTitle);
    g_error_free(error);
  }
}

}  // namespace tessa
