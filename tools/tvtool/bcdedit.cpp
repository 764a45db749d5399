// bcdedit.exe on the machine's boot store (tools/tvtool/boot_store.h):
//   /create [<id>] /d <description> /application osloader|bootsector | /device
//   /delete <id> [/cleanup|/nocleanup] [/f]
//   /set <id> <element> <value>
//   /displayorder <id>... /addlast|/addfirst|/remove
//   /default <id>, /timeout <seconds>, /enum [all|<id>]
// Elements are checked against the kind of entry, as bcdedit does: a device
// options entry takes the ramdisk elements, a loader the system's.
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <set>

#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tools/tvtool/boot_store.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {
namespace {

constexpr std::string_view kTool = "bcdedit";

const std::set<std::string> kCommon = {"description", "locale", "inherit", "device", "path"};
const std::set<std::string> kBootManager = {"default", "displayorder", "timeout", "resumeobject", "toolsdisplayorder"};
const std::set<std::string> kLoader = {"osdevice", "systemroot", "detecthal", "winpe", "ems", "nx", "pae",
                                       "bootmenupolicy", "kernel", "hal", "testsigning", "nointegritychecks"};
const std::set<std::string> kDevice = {"ramdisksdidevice", "ramdisksdipath", "ramdiskimageoffset",
                                       "ramdisktftpblocksize"};
const std::set<std::string> kBoolean = {"detecthal", "winpe", "ems", "pae", "testsigning", "nointegritychecks"};

bool IsId(const std::string& text) {
  if (text.size() < 3 || text.front() != '{' || text.back() != '}') return false;
  static const std::set<std::string> kNames = {"{bootmgr}", "{current}", "{default}", "{bootloadersettings}",
                                               "{globalsettings}", "{ramdiskoptions}", "{emssettings}"};
  if (kNames.count(sys::LowerAscii(text))) return true;
  if (text.size() != 38) return false;
  for (size_t i = 1; i < 37; ++i) {
    bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? text[i] != '-' : !isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

bool ElementFits(const std::string& type, const std::string& element) {
  if (kCommon.count(element)) return true;
  if (type == "bootmgr") return kBootManager.count(element) > 0;
  if (type == "osloader") return kLoader.count(element) > 0;
  if (type == "device") return kDevice.count(element) > 0;
  return false;
}

// A device such as partition=C:, boot, locate, or ramdisk=[C:]\path,{id}.
bool ValidDevice(const std::string& value) {
  std::string lower = sys::LowerAscii(value);
  if (lower == "boot" || lower == "locate") return true;
  if (lower.rfind("partition=", 0) == 0) return ParseDriveLetter(value.substr(10)) != 0;
  if (lower.rfind("ramdisk=[", 0) == 0) {
    size_t close = value.find(']');
    size_t comma = value.rfind(',');
    return close != std::string::npos && ParseDriveLetter(value.substr(9, close - 9)) != 0 &&
           comma != std::string::npos && comma > close + 1 && IsId(value.substr(comma + 1));
  }
  return false;
}

std::optional<std::string> BooleanValue(const std::string& value) {
  std::string lower = sys::LowerAscii(value);
  if (lower == "yes" || lower == "on" || lower == "true" || lower == "1") return "Yes";
  if (lower == "no" || lower == "off" || lower == "false" || lower == "0") return "No";
  return std::nullopt;
}

std::vector<std::string> DisplayOrder(const BootEntry& manager) {
  std::vector<std::string> ids;
  for (const std::string& id : sys::Split(manager.Get("displayorder").value_or(""), " "))
    if (!id.empty()) ids.push_back(id);
  return ids;
}

void SetDisplayOrder(BootEntry& manager, const std::vector<std::string>& ids) {
  std::string text;
  for (const std::string& id : ids) text += (text.empty() ? "" : " ") + id;
  manager.Set("displayorder", text);
}

void RemoveFromOrder(BootEntry& manager, const std::string& id) {
  std::vector<std::string> ids = DisplayOrder(manager), kept;
  for (const std::string& x : ids)
    if (!sys::EqualsNoCase(x, id)) kept.push_back(x);
  SetDisplayOrder(manager, kept);
}

std::string NewId() {
  char buf[40];
  unsigned long long seed = static_cast<unsigned long long>(time(nullptr)) * 1000003ull + static_cast<unsigned>(getpid());
  snprintf(buf, sizeof buf, "{%08llx-%04llx-11ee-8000-%012llx}", seed & 0xFFFFFFFFull, (seed >> 32) & 0xFFFF,
           seed & 0xFFFFFFFFFFFFull);
  return buf;
}

const std::string kNotFound = "The specified entry does not exist: the system cannot find the file specified.";

std::optional<Stop> Create(BootStore& store, const Args& a) {
  std::string id, description, type;
  for (size_t i = 1; i < a.size(); ++i) {
    std::string lower = sys::LowerAscii(a[i]);
    if (lower == "/d" && i + 1 < a.size()) description = a[++i];
    else if (lower == "/application" && i + 1 < a.size()) {
      type = sys::LowerAscii(a[++i]);
      if (type != "osloader" && type != "bootsector") return Stop{"The application type " + a[i] + " is not valid."};
    } else if (lower == "/device") type = "device";
    else if (id.empty() && IsId(a[i])) id = sys::LowerAscii(a[i]);
    else return Stop{"The parameter is incorrect: " + a[i]};
  }
  if (type.empty()) return Stop{"/create needs /application <type> or /device."};
  if (description.empty()) return Stop{"/create needs a description (/d)."};
  if (id.empty()) id = NewId();
  if (store.Find(id)) return Stop{"The entry " + id + " already exists."};
  BootEntry e{id, type, {}};
  e.Set("description", description);
  store.entries().push_back(e);
  printf("The entry %s was successfully created.\n", id.c_str());
  return std::nullopt;
}

std::optional<Stop> Delete(BootStore& store, const Args& a) {
  if (a.size() < 2 || !IsId(a[1])) return Stop{"/delete needs an entry identifier."};
  bool force = false;
  for (size_t i = 2; i < a.size(); ++i) {
    std::string lower = sys::LowerAscii(a[i]);
    if (lower == "/f") force = true;
    else if (lower != "/cleanup" && lower != "/nocleanup") return Stop{"The parameter is incorrect: " + a[i]};
  }
  std::string id = sys::LowerAscii(a[1]);
  if ((id == "{bootmgr}" || id == "{current}") && !force) return Stop{"A well-known entry is deleted only with /f."};
  auto& entries = store.entries();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (!sys::EqualsNoCase(it->id, id)) continue;
    entries.erase(it);
    if (BootEntry* manager = store.Find("{bootmgr}")) RemoveFromOrder(*manager, id);
    return std::nullopt;
  }
  return Stop{kNotFound};
}

std::optional<Stop> Set(BootStore& store, const Args& a) {
  if (a.size() < 4 || !IsId(a[1])) return Stop{"usage: bcdedit /set <id> <element> <value>"};
  BootEntry* e = store.Find(a[1]);
  if (!e) return Stop{kNotFound};
  std::string element = sys::LowerAscii(a[2]);
  std::string value = a[3];
  for (size_t i = 4; i < a.size(); ++i) value += " " + a[i];
  if (!ElementFits(e->type, element))
    return Stop{"The element " + a[2] + " is not recognized, or does not apply to the entry " + e->id + "."};
  if (kBoolean.count(element)) {
    auto b = BooleanValue(value);
    if (!b) return Stop{"The value " + value + " of " + element + " is not valid."};
    value = *b;
  }
  if ((element == "device" || element == "osdevice" || element == "ramdisksdidevice") && !ValidDevice(value))
    return Stop{"The device " + value + " is not valid."};
  if ((element == "inherit" || element == "default") && !IsId(value))
    return Stop{"The entry identifier " + value + " is not valid."};
  e->Set(element, value);
  return std::nullopt;
}

std::optional<Stop> Order(BootStore& store, const Args& a) {
  BootEntry* manager = store.Find("{bootmgr}");
  if (!manager) return Stop{kNotFound};
  std::vector<std::string> ids;
  std::string how = "replace";
  for (size_t i = 1; i < a.size(); ++i) {
    std::string lower = sys::LowerAscii(a[i]);
    if (lower == "/addlast" || lower == "/addfirst" || lower == "/remove") how = lower;
    else if (IsId(a[i])) ids.push_back(lower);
    else return Stop{"The parameter is incorrect: " + a[i]};
  }
  if (ids.empty()) return Stop{"/displayorder needs an entry identifier."};
  for (const std::string& id : ids)
    if (!store.Find(id)) return Stop{kNotFound};
  std::vector<std::string> order = how == "replace" ? ids : DisplayOrder(*manager);
  size_t first = 0;
  for (const std::string& id : ids) {
    if (how == "replace") break;
    std::erase_if(order, [&](const std::string& x) { return sys::EqualsNoCase(x, id); });
    if (how == "/addlast") order.push_back(id);
    else if (how == "/addfirst") order.insert(order.begin() + static_cast<long>(first++), id);
  }
  SetDisplayOrder(*manager, order);
  return std::nullopt;
}

std::optional<Stop> Timeout(BootStore& store, const Args& a) {
  if (a.size() != 2 || a[1].empty() || a[1].size() > 9 || a[1].find_first_not_of("0123456789") != std::string::npos)
    return Stop{"usage: bcdedit /timeout <seconds>"};
  BootEntry* manager = store.Find("{bootmgr}");
  if (!manager) return Stop{kNotFound};
  manager->Set("timeout", std::to_string(std::stoul(a[1])));
  return std::nullopt;
}

std::optional<Stop> Default(BootStore& store, const Args& a) {
  if (a.size() != 2 || !IsId(a[1])) return Stop{"usage: bcdedit /default <id>"};
  if (!store.Find(a[1])) return Stop{kNotFound};
  BootEntry* manager = store.Find("{bootmgr}");
  if (!manager) return Stop{kNotFound};
  manager->Set("default", sys::LowerAscii(a[1]));
  return std::nullopt;
}

// /enum of one entry fails, as bcdedit's does, when the store lacks it.
std::optional<Stop> Enumerate(const BootStore& store, const Args& a) {
  std::string only = a.size() > 1 && IsId(a[1]) ? a[1] : "";
  if (!only.empty() && !store.Find(only)) return Stop{"The specified entry could not be found: " + only};
  for (const BootEntry& e : store.entries()) {
    if (!only.empty() && !sys::EqualsNoCase(e.id, only)) continue;
    printf("\n%s (%s)\n%s\nidentifier              %s\n", e.id.c_str(), e.type.c_str(),
           std::string(e.id.size() + e.type.size() + 3, '-').c_str(), e.id.c_str());
    for (const auto& [k, v] : e.elements) printf("%-23s %s\n", k.c_str(), v.c_str());
  }
  return std::nullopt;
}

}  // namespace

int RunBcdedit(const Args& args) {
  if (args.empty()) return Fail(kTool, {"give a command such as /enum, /create, /set or /delete", 1});
  std::string command = sys::LowerAscii(args[0]);
  static const std::set<std::string> kChanging = {"/create", "/delete", "/set", "/displayorder", "/timeout",
                                                  "/default"};
  if (command != "/enum" && !kChanging.count(command))
    return Fail(kTool, {"The parameter is incorrect: " + args[0], 1});

  FaultPlay fault("bcdedit", command.substr(1));
  if (auto code = fault.Exit()) return *code;
  char systemDrive = static_cast<char>(toupper(static_cast<unsigned char>(os::sim::Current()->windir[0])));
  std::string path = BootStorePath();
  if (command == "/enum") {
    std::string error;
    auto store = BootStore::Load(path, systemDrive, &error);
    if (!store) return Fail(kTool, {error, 1});
    if (auto stop = Enumerate(*store, args)) return Fail(kTool, *stop);
    return 0;
  }
  if (fault.Partial() && command != "/create") return 0;  // one step: not done
  // The machine's lock keeps two runs from mixing their changes.
  auto stop = EditMachine([&](Machine&) -> std::optional<Stop> {
    std::string error;
    auto store = BootStore::Load(path, systemDrive, &error);
    if (!store) return Stop{error, 1};
    std::optional<Stop> s;
    if (command == "/create") s = Create(*store, args);
    else if (command == "/delete") s = Delete(*store, args);
    else if (command == "/set") s = Set(*store, args);
    else if (command == "/displayorder") s = Order(*store, args);
    else if (command == "/timeout") s = Timeout(*store, args);
    else s = Default(*store, args);
    if (s) return s;
    // A partial /create made the entry but never gave it its description.
    if (fault.Partial())
      for (BootEntry& e : store->entries())
        if (e.id == sys::LowerAscii(args.size() > 1 ? args[1] : "")) std::erase_if(e.elements, [](auto& kv) {
            return kv.first == "description";
          });
    if (!store->Save(path)) return Stop{"cannot write the boot store " + path, 1};
    return std::nullopt;
  });
  if (stop) return Fail(kTool, *stop);
  printf("The operation completed successfully.\n");
  return 0;
}

}  // namespace tvtool
