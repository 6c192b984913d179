// Where krt writes its outputs and in which format: the name follows the
// input unless -o says otherwise, and the format follows --format, else the
// extension of the -o name, else PNG.
#pragma once

#include <string>
#include <vector>

#include "outcome.h"

namespace krt::host {

enum class OutputFormat { kPng, kBmp };

const char* ExtensionOf(OutputFormat format);

// The name's extension in lower case, with its dot: "A.PNG" -> ".png".
std::string LowerExtension(const std::string& name);

// `format_option` is "", "png" or "bmp"; `named_file` is the -o name when
// it names one file, else empty. Fails for an unknown format, a .png or .bmp
// name that contradicts --format.
Outcome ChooseFormat(const std::string& format_option, const std::string& named_file,
                     OutputFormat* format);

// Whether the -o value names a folder: an existing one, or any name ending
// in a path separator.
bool NamesFolder(const std::string& output);

// Creates the folder (and its parents) when missing.
Outcome EnsureFolder(const std::string& folder);

// The input's name with its extension replaced, in `folder` when given, else
// beside the input: "scans/TITLE.2D" -> "scans/TITLE.png".
std::string OutputBesideOrIn(const std::string& input, const std::string& folder,
                             const char* extension);

// The folder for one pack's entries: `folder` itself when only one pack is
// extracted, else a subfolder named after the pack, so that the entries of
// two packs ("000.2D" in each) do not meet.
std::string EntryFolder(const std::string& folder, const std::string& pack, bool several_packs);

// An entry name with its extension replaced: "001.2D" -> "001.png".
std::string RenamedEntry(const std::string& entry, const char* extension);

}  // namespace krt::host
