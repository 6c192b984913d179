// The signatures of the exported functions, as a host resolves them by name.
#pragma once

#include <cstdint>

#include "plugin_interface.h"

namespace krt {

using GetPluginInfoFn = int32_t(KRT_STDCALL*)(int32_t index, char* buffer, int32_t buffer_length);
using IsSupportedFn = int32_t(KRT_STDCALL*)(const char* file_name, uintptr_t source);
using GetPictureInfoFn = int32_t(KRT_STDCALL*)(const char* source, int32_t offset_or_length,
                                               uint32_t flag, PictureInfo* info);
using GetPictureFn = int32_t(KRT_STDCALL*)(const char* source, int32_t offset_or_length,
                                           uint32_t flag, MemoryHandle* info_slot,
                                           MemoryHandle* pixel_slot, ProgressCallback progress,
                                           intptr_t user_value);
using GetPreviewFn = GetPictureFn;
using GetArchiveInfoFn = int32_t(KRT_STDCALL*)(const char* source, int32_t offset_or_length,
                                               uint32_t flag, MemoryHandle* list_slot);
using GetFileInfoFn = int32_t(KRT_STDCALL*)(const char* source, int32_t offset_or_length,
                                            const char* entry_name, uint32_t flag,
                                            fileInfo* info);
using GetFileFn = int32_t(KRT_STDCALL*)(const char* source, int32_t position_or_length,
                                        char* destination, uint32_t flag,
                                        ProgressCallback progress, intptr_t user_value);

}  // namespace krt
