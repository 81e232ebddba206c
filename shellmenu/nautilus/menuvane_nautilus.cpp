// The "Convert To PDF" menu in GNOME Files: a menu provider that builds the
// core's menu for the selected files and runs a chosen entry's verb. The host
// draws no check marks or separators, so a checked option carries "✓ " in
// its label and separators are left out; the core keeps the true state.
#include <gio/gio.h>
#include <glib-object.h>
// The header declares the module entry points without C linkage.
extern "C" {
#include <nautilus-extension.h>
}

#include <memory>
#include <string>
#include <vector>

#include "shellmenu/bus_actions.h"
#include "shellmenu/context_menu.h"

namespace {

GType g_providerType = 0;

// What an entry's activation needs: the selection it was built for, its verb,
// and the provider to tell when the menu has changed.
struct Command {
  std::vector<std::string> paths;
  std::string verb;
  GObject* provider;  // a reference of its own
};

void DeleteCommand(gpointer data, GClosure*) {
  auto* command = static_cast<Command*>(data);
  g_object_unref(command->provider);
  delete command;
}

void OnActivate(NautilusMenuItem*, gpointer data) {
  const auto* command = static_cast<const Command*>(data);
  tessa::clsContextMenu menu(tessa::GetINIFile());
  if (!menu.Initialize(command->paths)) return;
  tessa::BusContextMenuActions actions(TESSA_INSTALL_BINDIR "/tessaprint", false);
  menu.InvokeVerb(command->verb, actions);
  // The file manager keeps a built menu while the selection stays; an option
  // or the append target may have changed, so it asks again.
  nautilus_menu_provider_emit_items_updated_signal(NAUTILUS_MENU_PROVIDER(command->provider));
}

std::vector<std::string> LocalPaths(GList* files) {
  std::vector<std::string> paths;
  for (GList* l = files; l; l = l->next) {
    GFile* location = nautilus_file_info_get_location(NAUTILUS_FILE_INFO(l->data));
    if (!location) continue;
    if (char* path = g_file_get_path(location)) {
      paths.emplace_back(path);
      g_free(path);
    }
    g_object_unref(location);
  }
  return paths;
}

NautilusMenuItem* MakeItem(const tessa::MenuEntry& entry, const std::vector<std::string>& paths,
                           GObject* provider) {
  const std::string name = "Menuvane::" + (entry.kind == tessa::MenuEntry::Kind::Popup ? "ConvertToPDF" : entry.sVerb);
  const std::string label = (entry.bChecked ? "\u2713 " : "") + entry.sCaption;
  NautilusMenuItem* item = nautilus_menu_item_new(name.c_str(), label.c_str(), nullptr,
                                                  entry.sPicture.empty() ? nullptr : entry.sPicture.c_str());
  if (entry.kind == tessa::MenuEntry::Kind::Popup) {
    NautilusMenu* submenu = nautilus_menu_new();
    for (const tessa::MenuEntry& child : entry.children) {
      if (child.kind == tessa::MenuEntry::Kind::Separator) continue;
      NautilusMenuItem* c = MakeItem(child, paths, provider);
      nautilus_menu_append_item(submenu, c);
      g_object_unref(c);
    }
    nautilus_menu_item_set_submenu(item, submenu);
    g_object_unref(submenu);
  } else {
    g_signal_connect_data(item, "activate", G_CALLBACK(OnActivate), new Command{paths, entry.sVerb, G_OBJECT(g_object_ref(provider))}, DeleteCommand,
                          GConnectFlags(0));
  }
  return item;
}

GList* GetFileItems(NautilusMenuProvider* provider, GList* files) {
  const std::vector<std::string> paths = LocalPaths(files);
  tessa::clsContextMenu menu(tessa::GetINIFile());
  if (paths.empty() || !menu.Initialize(paths)) return nullptr;
  tessa::MenuModel model;
  if (menu.QueryContextMenu(model, 0, 0, 0x7fff, 0) == 0) return nullptr;
  GList* items = nullptr;
  for (const tessa::MenuEntry& entry : model) items = g_list_append(items, MakeItem(entry, paths, G_OBJECT(provider)));
  return items;
}

void ProviderInterfaceInit(gpointer iface, gpointer) {
  auto* menuIface = static_cast<NautilusMenuProviderInterface*>(iface);
  menuIface->get_file_items = GetFileItems;
}

void RegisterType(GTypeModule* module) {
  const GTypeInfo info = {sizeof(GObjectClass), nullptr, nullptr, nullptr, nullptr, nullptr,
                          sizeof(GObject), 0, nullptr, nullptr};
  g_providerType = g_type_module_register_type(module, G_TYPE_OBJECT, "MenuvaneMenuProvider", &info, GTypeFlags(0));
  const GInterfaceInfo menuInfo = {ProviderInterfaceInit, nullptr, nullptr};
  g_type_module_add_interface(module, g_providerType, NAUTILUS_TYPE_MENU_PROVIDER, &menuInfo);
}

}  // namespace

extern "C" {

G_MODULE_EXPORT void nautilus_module_initialize(GTypeModule* module) { RegisterType(module); }

G_MODULE_EXPORT void nautilus_module_shutdown(void) {}

G_MODULE_EXPORT void nautilus_module_list_types(const GType** types, int* num_types) {
  *types = &g_providerType;
  *num_types = 1;
}

}  // extern "C"
