// The GNOME Files module loaded as the file manager loads it: its entry
// points, a menu provider asked for stand-in file-info objects, and an entry
// activated.
#include <dlfcn.h>
#include <gio/gio.h>
#include <glib-object.h>
#include <gtest/gtest.h>
extern "C" {
#include <nautilus-extension.h>
}

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

// A file-info object that answers only with its location, as the menu needs.
GFile* StandInLocation(NautilusFileInfo* info) {
  return g_file_new_for_path(static_cast<const char*>(g_object_get_data(G_OBJECT(info), "path")));
}

GType StandInFileInfoType() {
  static GType type = [] {
    const GTypeInfo info = {sizeof(GObjectClass), nullptr, nullptr, nullptr, nullptr, nullptr,
                            sizeof(GObject), 0, nullptr, nullptr};
    GType t = g_type_register_static(G_TYPE_OBJECT, "StandInFileInfo", &info, GTypeFlags(0));
    const GInterfaceInfo fileInfo = {
        [](gpointer iface, gpointer) {
          static_cast<NautilusFileInfoInterface*>(iface)->get_location = StandInLocation;
        },
        nullptr, nullptr};
    g_type_add_interface_static(t, NAUTILUS_TYPE_FILE_INFO, &fileInfo);
    return t;
  }();
  return type;
}

GObject* StandInFile(const std::string& path) {
  GObject* o = G_OBJECT(g_object_new(StandInFileInfoType(), nullptr));
  g_object_set_data_full(o, "path", g_strdup(path.c_str()), g_free);
  return o;
}

// The smallest type module: the file manager's loader stands behind it.
GTypeModule* NewTypeModule() {
  static GType type = [] {
    const GTypeInfo info = {sizeof(GTypeModuleClass), nullptr, nullptr,
                            [](gpointer klass, gpointer) {
                              auto* c = static_cast<GTypeModuleClass*>(klass);
                              c->load = [](GTypeModule*) -> gboolean { return TRUE; };
                              c->unload = [](GTypeModule*) {};
                            },
                            nullptr, nullptr, sizeof(GTypeModule), 0, nullptr, nullptr};
    return g_type_register_static(G_TYPE_TYPE_MODULE, "StandInTypeModule", &info, GTypeFlags(0));
  }();
  return G_TYPE_MODULE(g_object_new(type, nullptr));
}

std::string Label(NautilusMenuItem* item) {
  gchar* label = nullptr;
  g_object_get(item, "label", &label, nullptr);
  std::string s = label ? label : "";
  g_free(label);
  return s;
}

TEST(NautilusModule, BuildsTheCoresMenuAndRunsAChosenEntry) {
  test::TempDir home;
  test::ScopedHome scoped(home.path().string());
  const std::string ini = home.file(".config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI");
  std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
  ASSERT_TRUE(WriteIniString(ini, "VemoContext", "OptionOverwrite", "8"));
  const std::string a = test::WriteFile(home.path() / "p/a.png", "x");
  std::filesystem::create_directories(home.path() / "p/sub");

  void* handle = dlopen(TESSA_MENUVANE_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  auto initialize = reinterpret_cast<void (*)(GTypeModule*)>(dlsym(handle, "nautilus_module_initialize"));
  auto listTypes = reinterpret_cast<void (*)(const GType**, int*)>(dlsym(handle, "nautilus_module_list_types"));
  ASSERT_TRUE(initialize && listTypes && dlsym(handle, "nautilus_module_shutdown"));
  GTypeModule* module = NewTypeModule();
  ASSERT_TRUE(g_type_module_use(module));
  initialize(module);
  const GType* types = nullptr;
  int count = 0;
  listTypes(&types, &count);
  ASSERT_EQ(count, 1);
  ASSERT_TRUE(g_type_is_a(types[0], NAUTILUS_TYPE_MENU_PROVIDER));
  GObject* provider = G_OBJECT(g_object_new(types[0], nullptr));

  GList* files = nullptr;
  files = g_list_append(files, StandInFile(a));
  files = g_list_append(files, StandInFile(home.file("p/sub")));
  GList* items = nautilus_menu_provider_get_file_items(NAUTILUS_MENU_PROVIDER(provider), files);
  ASSERT_EQ(g_list_length(items), 1u);
  auto* top = NAUTILUS_MENU_ITEM(items->data);
  EXPECT_EQ(Label(top), "Convert To PDF");
  NautilusMenu* submenu = nullptr;
  g_object_get(top, "menu", &submenu, nullptr);
  ASSERT_NE(submenu, nullptr);
  GList* entries = nautilus_menu_get_items(submenu);
  std::vector<std::string> labels;
  NautilusMenuItem* overwrite = nullptr;
  for (GList* l = entries; l; l = l->next) {
    labels.push_back(Label(NAUTILUS_MENU_ITEM(l->data)));
    if (labels.back() == "\u2713 Always Overwrite") overwrite = NAUTILUS_MENU_ITEM(l->data);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"Convert to multiple PDFs", "Convert to a single PDF",
                                               "\u2713 Always Overwrite",
                                               "Open file in default program after conversion", "Advanced Options",
                                               "Do Subfolders", "Save to Original Folder"}));
  ASSERT_NE(overwrite, nullptr);
  nautilus_menu_item_activate(overwrite);
  EXPECT_EQ(ReadIniString(ini, "VemoContext", "OptionOverwrite", ""), "0");

  // An empty or unaccepted selection gets no menu.
  GList* none = g_list_append(nullptr, StandInFile(home.file("p/notes.txt")));
  EXPECT_EQ(nautilus_menu_provider_get_file_items(NAUTILUS_MENU_PROVIDER(provider), none), nullptr);

  g_list_free_full(none, g_object_unref);
  nautilus_menu_item_list_free(entries);
  g_object_unref(submenu);
  nautilus_menu_item_list_free(items);
  g_list_free_full(files, g_object_unref);
  g_object_unref(provider);
}

}  // namespace
}  // namespace tessa
