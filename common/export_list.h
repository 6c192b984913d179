// The one list of the plug-ins' exports. Everything that names them comes
// from here: the DLL export tables (cmake/plugin_exports.cmake reads this
// file), the loader's look-ups (host_calls/plugin_loader.cpp), the signature
// aliases (export_signatures.h) and the linked page's bindings.
//
// Each plug-in's list is in ordinal order: the ANSI exports at 1-5, where
// 32-bit hosts have always found them, then their W twins at 6-10. A row is
//   X(name, signature, character, argument_bytes, need)
// - signature: the template in export_signatures.h the export's type comes
//   from, taken with `character` (char, or WideChar for a W export);
// - argument_bytes: what a 32-bit __stdcall symbol carries ("GetFile@24");
// - need: Required (a host refuses a plug-in without it) or Optional.
// Keep each row on one line: the build reads the rows with a pattern.
#pragma once

#define KRT_EXPORTS_IFKRT(X)                                   \
  X(GetPluginInfo, GetPluginInfoOf, char, 12, Required)        \
  X(IsSupported, IsSupportedOf, char, 8, Required)             \
  X(GetPictureInfo, GetPictureInfoOf, char, 16, Required)      \
  X(GetPicture, GetPictureOf, char, 28, Required)              \
  X(GetPreview, GetPictureOf, char, 28, Optional)              \
  X(GetPluginInfoW, GetPluginInfoOf, WideChar, 12, Optional)   \
  X(IsSupportedW, IsSupportedOf, WideChar, 8, Optional)        \
  X(GetPictureInfoW, GetPictureInfoOf, WideChar, 16, Optional) \
  X(GetPictureW, GetPictureOf, WideChar, 28, Optional)         \
  X(GetPreviewW, GetPictureOf, WideChar, 28, Optional)

#define KRT_EXPORTS_AXKRT(X)                                   \
  X(GetPluginInfo, GetPluginInfoOf, char, 12, Required)        \
  X(IsSupported, IsSupportedOf, char, 8, Required)             \
  X(GetArchiveInfo, GetArchiveInfoOf, char, 16, Required)      \
  X(GetFileInfo, GetFileInfoOf, char, 20, Required)            \
  X(GetFile, GetFileOf, char, 24, Required)                    \
  X(GetPluginInfoW, GetPluginInfoOf, WideChar, 12, Optional)   \
  X(IsSupportedW, IsSupportedOf, WideChar, 8, Optional)        \
  X(GetArchiveInfoW, GetArchiveInfoOf, WideChar, 16, Optional) \
  X(GetFileInfoW, GetFileInfoOf, WideChar, 20, Optional)       \
  X(GetFileW, GetFileOf, WideChar, 24, Optional)
