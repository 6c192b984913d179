// The signatures of the exported functions, as a host resolves them by name.
// Each W form takes UTF-16 paths and names where its ANSI twin takes ANSI
// ones; a memory image is still passed as the file's bytes.
#pragma once

#include <cstdint>

#include "export_list.h"
#include "plugin_interface.h"

namespace krt {

template <typename Char>
using GetPluginInfoOf = int32_t(KRT_STDCALL*)(int32_t index, Char* buffer, int32_t buffer_length);
template <typename Char>
using IsSupportedOf = int32_t(KRT_STDCALL*)(const Char* file_name, uintptr_t source);
template <typename Char>
using GetPictureInfoOf = int32_t(KRT_STDCALL*)(const Char* source, LengthArgument offset_or_length,
                                               uint32_t flag, PictureInfo* info);
template <typename Char>
using GetPictureOf = int32_t(KRT_STDCALL*)(const Char* source, LengthArgument offset_or_length,
                                           uint32_t flag, MemoryHandle* info_slot,
                                           MemoryHandle* pixel_slot, ProgressCallback progress,
                                           intptr_t user_value);
template <typename Char>
using GetArchiveInfoOf = int32_t(KRT_STDCALL*)(const Char* source, LengthArgument offset_or_length,
                                               uint32_t flag, MemoryHandle* list_slot);
template <typename Char>
using GetFileInfoOf = int32_t(KRT_STDCALL*)(const Char* source, LengthArgument offset_or_length,
                                            const Char* entry_name, uint32_t flag,
                                            EntryInfo<Char>* info);
template <typename Char>
using GetFileOf = int32_t(KRT_STDCALL*)(const Char* source, LengthArgument position_or_length,
                                        Char* destination, uint32_t flag, ProgressCallback progress,
                                        intptr_t user_value);

// GetPluginInfoFn, GetPictureWFn, ...: each export's type, by its name.
#define KRT_SIGNATURE_ALIAS(name, signature, character, argument_bytes, need) \
  using name##Fn = signature<character>;
KRT_EXPORTS_IFKRT(KRT_SIGNATURE_ALIAS)
KRT_EXPORTS_AXKRT(KRT_SIGNATURE_ALIAS)
#undef KRT_SIGNATURE_ALIAS

}  // namespace krt
