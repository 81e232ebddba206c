#include "shellmenu/bus_actions.h"

#include <gio/gio.h>

#include <cstdio>

#include "platform/bus_names.h"

namespace tessa {
namespace {

// A reply to ferrowick comes at once; activation of the program may take a while.
constexpr int kCallTimeoutMs = 30000;

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

}  // namespace

BusContextMenuActions::BusContextMenuActions(std::string sTessaprint, bool bWait)
    : sTessaprint_(std::move(sTessaprint)), bWait_(bWait) {}

BusContextMenuActions::~BusContextMenuActions() {
  if (bus_) g_object_unref(bus_);
}

GVariant* BusContextMenuActions::Call(const char* method, GVariant* args) {
  g_variant_ref_sink(args);
  lastError_.clear();
  if (!bus_) {
    // The bus is reached only by the commands that need it.
    GError* error = nullptr;
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (error) {
      lastError_ = error->message;
      g_error_free(error);
      g_variant_unref(args);
      return nullptr;
    }
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
  std::fprintf(stderr, "%s: %s\n", sTitle.c_str(), sText.c_str());
  gchar* zenity = g_find_program_in_path("zenity");
  if (!zenity) return;
  const std::string title = "--title=" + sTitle;
  const std::string text = "--text=" + sText;
  char* argv[] = {zenity, const_cast<char*>("--warning"), const_cast<char*>("--no-markup"),
                  const_cast<char*>(title.c_str()), const_cast<char*>(text.c_str()), nullptr};
  g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr);
  g_free(zenity);
}

}  // namespace tessa
