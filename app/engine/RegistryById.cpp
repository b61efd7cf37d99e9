// Registry primitives by string id: each looks its key or value name up into
// lookupBuffer just before the call; a failed lookup fails the operation.

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/Registry.h"

HKEY InstallerApp::openKey(HKEY parent, uint32_t keyId, REGSAM access) {
  if (!loadText(keyId, lookupBuffer)) return nullptr;
  return OpenRegistryKey(parent, lookupBuffer.WideAt(0), access);
}

HKEY InstallerApp::openKeyNoLink(HKEY parent, uint32_t keyId, REGSAM access) {
  if (!loadText(keyId, lookupBuffer)) return nullptr;
  return OpenRegistryKeyNoLink(parent, lookupBuffer.WideAt(0), access);
}

HKEY InstallerApp::createKey(HKEY parent, uint32_t keyId, REGSAM access) {
  if (!loadText(keyId, lookupBuffer)) return nullptr;
  return CreateRegistryKey(parent, lookupBuffer.WideAt(0), access);
}

int InstallerApp::writeBinary(HKEY key, uint32_t valueId, const uint8_t* bytes, uint32_t count) {
  if (!loadText(valueId, lookupBuffer)) return 0;
  return WriteBinaryValue(key, lookupBuffer.WideAt(0), bytes, count);
}

uint8_t* InstallerApp::readBinary(HKEY key, uint32_t valueId, uint32_t& count) {
  count = 0;
  if (!loadText(valueId, lookupBuffer)) return nullptr;
  return ReadBinaryValue(key, lookupBuffer.WideAt(0), count);
}

int InstallerApp::writeDword(HKEY key, uint32_t valueId, uint32_t value) {
  if (!loadText(valueId, lookupBuffer)) return 0;
  return WriteDwordValue(key, lookupBuffer.WideAt(0), value);
}

int InstallerApp::readDword(HKEY key, uint32_t valueId, uint32_t& value) {
  if (!loadText(valueId, lookupBuffer)) return 0;
  return ReadDwordValue(key, lookupBuffer.WideAt(0), value);
}

int InstallerApp::writeText(HKEY key, uint32_t valueId, WString& text, DWORD type) {
  // A name of its own: the caller's text may be lookupBuffer itself.
  WString name;
  if (!loadText(valueId, name)) return 0;
  return WriteTextValue(key, name.WideAt(0), text, type);
}

int InstallerApp::writeTextIds(HKEY key, uint32_t valueId, uint32_t dataId, DWORD type) {
  WString data;
  if (!loadText(dataId, data)) return 0;
  return writeText(key, valueId, data, type);
}

int InstallerApp::readText(HKEY key, uint32_t valueId, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (!loadText(valueId, lookupBuffer)) return 0;
  return ReadTextValue(key, lookupBuffer.WideAt(0), out);
}

int InstallerApp::textEquals(HKEY key, uint32_t valueId, const WString& text) {
  if (!loadText(valueId, lookupBuffer)) return 0;
  return TextValueEquals(key, lookupBuffer.WideAt(0), text);
}

void InstallerApp::deleteValue(HKEY key, uint32_t valueId) {
  if (!loadText(valueId, lookupBuffer)) return;
  /* result ignored: a value that cannot go stays, and the removal goes on */
  DeleteRegistryValue(key, lookupBuffer.WideAt(0));
}

int InstallerApp::deleteSubKey(HKEY key, uint32_t subKeyId) {
  if (!loadText(subKeyId, lookupBuffer)) return 0;
  return DeleteRegistrySubKey(key, lookupBuffer.WideAt(0));
}
