// The clean machine that tests, benchmarks and the demo start from: a Windows
// XP installation as a user would have it a while after setup.
#include <string>

#include "platform/sim/SimMachine.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kHiddenSystem = kFileAttributeHidden | kFileAttributeSystem;
constexpr std::uint32_t kServiceKernelDriver = 0x01;
constexpr std::uint32_t kServiceShareProcess = 0x20;
constexpr std::uint32_t kServiceInteractiveOwnProcess = 0x110;

const char kHostsFile[] =
    "# Copyright (c) 1993-1999 Microsoft Corp.\r\n"
    "#\r\n"
    "# This is a sample HOSTS file used by Microsoft TCP/IP for Windows.\r\n"
    "#\r\n"
    "# This file contains the mappings of IP addresses to host names. Each\r\n"
    "# entry should be kept on an individual line. The IP address should\r\n"
    "# be placed in the first column followed by the corresponding host name.\r\n"
    "# The IP address and the host name should be separated by at least one\r\n"
    "# space.\r\n"
    "#\r\n"
    "# Additionally, comments (such as these) may be inserted on individual\r\n"
    "# lines or following the machine name denoted by a '#' symbol.\r\n"
    "#\r\n"
    "# For example:\r\n"
    "#\r\n"
    "#      102.54.94.97     rhino.acme.com          # source server\r\n"
    "#       38.25.63.10     x.acme.com              # x client host\r\n"
    "\r\n"
    "127.0.0.1       localhost\r\n";

// Stand-in program images: distinct, readable bytes, so that every file has
// its own digest and a saved scenario stays legible. Windows File Protection
// guards what Windows installed in its own folders.
void AddProgram(Machine& machine, const std::string& path) {
  FileNode& file = machine.files.AddTextFile(path, "MZ simulated program " + path + "\r\n");
  file.windowsProtected = path.rfind("C:\\WINDOWS\\", 0) == 0 ||
                          path.rfind("C:\\Program Files\\Internet Explorer\\", 0) == 0;
}

void AddFolders(Machine& machine) {
  const char* folders[] = {
      "C:\\WINDOWS\\system",
      "C:\\WINDOWS\\Fonts",
      "C:\\WINDOWS\\Help",
      "C:\\WINDOWS\\TEMP",
      "C:\\WINDOWS\\system32\\config",
      "C:\\WINDOWS\\system32\\dllcache",
      "C:\\WINDOWS\\system32\\drivers\\etc",
      "C:\\WINDOWS\\system32\\wbem",
      "C:\\Documents and Settings\\User\\Desktop",
      "C:\\Documents and Settings\\User\\My Documents",
      "C:\\Documents and Settings\\User\\Application Data",
      "C:\\Documents and Settings\\User\\Local Settings\\Application Data",
      "C:\\Documents and Settings\\User\\Local Settings\\Temp",
      "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Startup",
      "C:\\Documents and Settings\\All Users\\Desktop",
      "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup",
      "C:\\Program Files\\Common Files",
  };
  for (const char* folder : folders) machine.files.AddFolder(folder);
  machine.files.AddFolder("C:\\RECYCLER").attributes |= kHiddenSystem;
}

void AddFiles(Machine& machine) {
  FileSystem& files = machine.files;
  files.AddTextFile("C:\\boot.ini",
                    "[boot loader]\r\ntimeout=30\r\n"
                    "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
                    "[operating systems]\r\n"
                    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP "
                    "Professional\" /fastdetect\r\n",
                    kHiddenSystem);
  files.AddTextFile("C:\\NTLDR", "simulated boot loader\r\n",
                    kHiddenSystem | kFileAttributeReadOnly);
  files.AddTextFile("C:\\AUTOEXEC.BAT", "", kFileAttributeArchive);
  files.AddTextFile("C:\\CONFIG.SYS", "", kFileAttributeArchive);
  // The paging file is held open by the system for as long as it runs.
  files.AddTextFile("C:\\pagefile.sys", "simulated paging file\r\n", kHiddenSystem).locked = true;

  files.AddTextFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts", kHostsFile);
  files.AddTextFile(
      "C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts.sam",
      "# Copyright (c) 1993-1999 Microsoft Corp.\r\n#\r\n"
      "# This is a sample LMHOSTS file used by the Microsoft TCP/IP for Windows.\r\n");
  files.AddTextFile("C:\\WINDOWS\\system32\\drivers\\etc\\services",
                    "echo                7/tcp\r\nftp                21/tcp\r\n"
                    "http               80/tcp    www www-http\r\n");
  files.AddTextFile("C:\\WINDOWS\\Fonts\\arial.ttf", "simulated font\r\n");
  files.AddTextFile("C:\\WINDOWS\\system32\\config\\SYSTEM", "simulated hive\r\n").locked = true;
  files.AddTextFile("C:\\WINDOWS\\system32\\config\\SOFTWARE", "simulated hive\r\n").locked = true;

  const char* programs[] = {
      "C:\\WINDOWS\\explorer.exe",
      "C:\\WINDOWS\\regedit.exe",
      "C:\\WINDOWS\\notepad.exe",
      "C:\\WINDOWS\\winhelp.exe",
      "C:\\WINDOWS\\system32\\smss.exe",
      "C:\\WINDOWS\\system32\\csrss.exe",
      "C:\\WINDOWS\\system32\\winlogon.exe",
      "C:\\WINDOWS\\system32\\services.exe",
      "C:\\WINDOWS\\system32\\lsass.exe",
      "C:\\WINDOWS\\system32\\svchost.exe",
      "C:\\WINDOWS\\system32\\spoolsv.exe",
      "C:\\WINDOWS\\system32\\ctfmon.exe",
      "C:\\WINDOWS\\system32\\userinit.exe",
      "C:\\WINDOWS\\system32\\rundll32.exe",
      "C:\\WINDOWS\\system32\\dumprep.exe",
      "C:\\WINDOWS\\system32\\cmd.exe",
      "C:\\WINDOWS\\system32\\attrib.exe",
      "C:\\WINDOWS\\system32\\shutdown.exe",
      "C:\\WINDOWS\\system32\\taskkill.exe",
      "C:\\WINDOWS\\system32\\ntdll.dll",
      "C:\\WINDOWS\\system32\\kernel32.dll",
      "C:\\WINDOWS\\system32\\drivers\\tcpip.sys",
      "C:\\WINDOWS\\system32\\drivers\\beep.sys",
      "C:\\Program Files\\Internet Explorer\\iexplore.exe",
      "C:\\Program Files\\MSN Messenger\\msnmsgr.exe",
      "C:\\Program Files\\Windows Media Player\\wmplayer.exe",
      "C:\\Program Files\\Synaptics\\SynTP\\SynTPEnh.exe",
  };
  for (const char* program : programs) AddProgram(machine, program);
}

void AddRegistry(Machine& machine) {
  Registry& reg = machine.registry;
  const std::string hklmWindows = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  reg.SetString(hklmWindows, "ProgramFilesDir", "C:\\Program Files");
  reg.SetString(hklmWindows, "CommonFilesDir", "C:\\Program Files\\Common Files");
  reg.SetExpandString(hklmWindows + "\\Run", "KernelFaultCheck",
                      "%systemroot%\\system32\\dumprep 0 -k");
  reg.SetString(hklmWindows + "\\Run", "SynTPEnh",
                "C:\\Program Files\\Synaptics\\SynTP\\SynTPEnh.exe");
  reg.CreateKey(hklmWindows + "\\RunOnce");
  reg.CreateKey(hklmWindows + "\\Policies\\Explorer");

  const std::string hkcuWindows = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion";
  reg.SetString(hkcuWindows + "\\Run", "CTFMON.EXE", "C:\\WINDOWS\\system32\\ctfmon.exe");
  reg.SetString(hkcuWindows + "\\Run", "MsnMsgr",
                "\"C:\\Program Files\\MSN Messenger\\msnmsgr.exe\" /background");
  reg.CreateKey(hkcuWindows + "\\RunOnce");
  reg.SetDword(hkcuWindows + "\\Policies\\Explorer", "NoDriveTypeAutoRun", 0x91);

  const std::string nt = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  reg.SetString(nt, "ProductName", "Microsoft Windows XP");
  reg.SetString(nt, "CurrentVersion", "5.1");
  reg.SetString(nt, "CurrentBuildNumber", "2600");
  reg.SetString(nt, "CSDVersion", "Service Pack 3");
  reg.SetString(nt, "SystemRoot", "C:\\WINDOWS");
  reg.SetString(nt, "RegisteredOwner", "User");
  reg.SetString(nt + "\\Winlogon", "Shell", "Explorer.exe");
  reg.SetString(nt + "\\Winlogon", "Userinit", "C:\\WINDOWS\\system32\\userinit.exe,");
  reg.CreateKey("HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows");
  reg.SetDword(
      "HKLM\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Microsoft Base "
      "Cryptographic Provider v1.0",
      "Type", 1);
  reg.SetString(
      "HKLM\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Microsoft Base "
      "Cryptographic Provider v1.0",
      "Image Path", "rsaenh.dll");
  reg.SetString("HKLM\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                "ComputerName", "QLX-XP");

  reg.SetString("HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "DosPrint", "no");
  reg.SetString("HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Programs",
                "com exe bat pif cmd");
  reg.SetString("HKCU\\Control Panel\\International", "Locale", "00000409");
  reg.SetString("HKCU\\Control Panel\\International", "sLanguage", "ENU");
  reg.SetString("HKU\\.DEFAULT\\Control Panel\\International", "Locale", "00000409");
  reg.SetString("HKCR\\.txt", "", "txtfile");
  reg.SetString("HKCR\\exefile\\shell\\open\\command", "", "\"%1\" %*");
}

void AddServices(Machine& machine) {
  const std::string netsvcs = "%SystemRoot%\\system32\\svchost.exe -k netsvcs";
  machine.AddService("AudioSrv", netsvcs, kServiceShareProcess).pid = 1060;
  machine.AddService("Schedule", netsvcs, kServiceShareProcess).pid = 1060;
  machine
      .AddService("Dnscache", "%SystemRoot%\\system32\\svchost.exe -k NetworkService",
                  kServiceShareProcess)
      .pid = 1140;
  Service& eventlog =
      machine.AddService("Eventlog", "%SystemRoot%\\system32\\services.exe", kServiceShareProcess);
  eventlog.stopSucceeds = false;  // the event log does not accept a stop request
  machine.AddService("ProtectedStorage", "%SystemRoot%\\system32\\lsass.exe", kServiceShareProcess);
  machine
      .AddService("Spooler", "%SystemRoot%\\system32\\spoolsv.exe", kServiceInteractiveOwnProcess)
      .pid = 1420;
  machine.registry.SetValue(std::string(kServicesKey) + "\\Spooler\\Security", "Security",
                            kRegBinary, {0x01, 0x00, 0x14, 0x80});
  machine.AddService("Tcpip", "system32\\DRIVERS\\tcpip.sys", kServiceKernelDriver);
  const std::string tcpip = std::string(kServicesKey) + "\\Tcpip";
  machine.registry.SetDword(tcpip + "\\Enum", "Count", 1);
  machine.registry.SetString(tcpip + "\\Parameters", "Hostname", "QLX-XP");
  machine.registry.SetDword(
      tcpip + "\\Parameters\\Interfaces\\{3F5C1F8A-6C2B-4E4D-9A0B-2C1D5E6F7A8B}", "EnableDHCP", 1);
  machine.AddService("Beep", "system32\\DRIVERS\\beep.sys", kServiceKernelDriver);
  // A driver key without an image path, disabled, as setup leaves several.
  machine.AddService("Abiosdsk", "", kServiceKernelDriver, false);
  machine.registry.SetDword(std::string(kServicesKey) + "\\Abiosdsk", "Start", 4);
}

void AddProcesses(Machine& machine) {
  machine.AddProcess(0, "").openable = false;  // the idle process
  machine.AddProcess(4, "").openable = false;  // System
  machine.AddProcess(368, "\\SystemRoot\\System32\\smss.exe");
  machine.AddProcess(588, "\\??\\C:\\WINDOWS\\system32\\csrss.exe");
  machine.AddProcess(612, "\\??\\C:\\WINDOWS\\system32\\winlogon.exe");
  machine.AddProcess(656, "C:\\WINDOWS\\system32\\services.exe");
  machine.AddProcess(668, "C:\\WINDOWS\\system32\\lsass.exe");
  for (std::uint32_t pid : {840u, 920u, 1060u, 1140u, 1200u}) {
    machine.AddProcess(pid, "C:\\WINDOWS\\system32\\svchost.exe");
  }
  machine.AddProcess(1420, "C:\\WINDOWS\\system32\\spoolsv.exe");
  machine.AddProcess(1680, "C:\\WINDOWS\\Explorer.EXE");
  machine.AddProcess(1788, "C:\\WINDOWS\\system32\\ctfmon.exe");
  machine.AddProcess(1800, "C:\\Program Files\\Synaptics\\SynTP\\SynTPEnh.exe");
  machine.AddProcess(1844, "C:\\Program Files\\MSN Messenger\\msnmsgr.exe");
}

void AddUserSettings(Machine& machine) {
  const std::string profile = "C:\\Documents and Settings\\User";
  const std::string allUsers = "C:\\Documents and Settings\\All Users";
  machine.specialFolders = {
      {0x00, profile + "\\Desktop"},
      {0x02, profile + "\\Start Menu\\Programs"},
      {0x05, profile + "\\My Documents"},
      {0x07, profile + "\\Start Menu\\Programs\\Startup"},
      {0x0B, profile + "\\Start Menu"},
      {0x10, profile + "\\Desktop"},
      {0x14, "C:\\WINDOWS\\Fonts"},
      {0x16, allUsers + "\\Start Menu"},
      {0x17, allUsers + "\\Start Menu\\Programs"},
      {0x18, allUsers + "\\Start Menu\\Programs\\Startup"},
      {0x19, allUsers + "\\Desktop"},
      {0x1A, profile + "\\Application Data"},
      {0x1C, profile + "\\Local Settings\\Application Data"},
      {0x24, "C:\\WINDOWS"},
      {0x25, "C:\\WINDOWS\\system32"},
      {0x26, "C:\\Program Files"},
      {0x28, profile},
      {0x2B, "C:\\Program Files\\Common Files"},
  };
  // An administrator's token as Windows XP gives it.
  machine.heldPrivileges = {"SeChangeNotifyPrivilege",
                            "SeSecurityPrivilege",
                            "SeBackupPrivilege",
                            "SeRestorePrivilege",
                            "SeSystemtimePrivilege",
                            "SeShutdownPrivilege",
                            "SeRemoteShutdownPrivilege",
                            "SeTakeOwnershipPrivilege",
                            "SeDebugPrivilege",
                            "SeSystemEnvironmentPrivilege",
                            "SeSystemProfilePrivilege",
                            "SeProfileSingleProcessPrivilege",
                            "SeIncreaseBasePriorityPrivilege",
                            "SeLoadDriverPrivilege",
                            "SeCreatePagefilePrivilege",
                            "SeIncreaseQuotaPrivilege",
                            "SeUndockPrivilege",
                            "SeManageVolumePrivilege",
                            "SeImpersonatePrivilege",
                            "SeCreateGlobalPrivilege"};
  machine.enabledPrivileges = {"SeChangeNotifyPrivilege", "SeImpersonatePrivilege",
                               "SeCreateGlobalPrivilege"};
}

}  // namespace

Machine MakeStandardMachine() {
  Machine machine;
  machine.AddDrive('A', kDriveRemovable, false);
  machine.AddDrive('C', kDriveFixed);
  machine.AddDrive('D', kDriveCdrom, false);
  AddFolders(machine);
  AddFiles(machine);
  AddRegistry(machine);
  AddServices(machine);
  AddProcesses(machine);
  AddUserSettings(machine);
  return machine;
}

}  // namespace platform::sim
