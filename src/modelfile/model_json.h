// The model file: a fitted model as JSON text (format "korva-model", version
// 1; docs/model-format.md), written and read with nlohmann-json.
#pragma once

#include <string>

#include "modelfile/fitted_model.h"

inline constexpr int model_format_version = 1;

// The model as JSON text, two-space indented, ending in a newline.
std::string model_to_json_text(const fitted_model& model);

// Reads a model from JSON text; name is used in messages. False with error set
// ("NAME:LINE:COLUMN: ..." for text that is not JSON, "NAME: ... (at
// /json/pointer)" for JSON that is not a model of this version) when the text
// cannot be used. Every index and count is checked, so that a model read
// without error can be printed, drawn and applied safely.
bool model_from_json_text(const std::string& text, const std::string& name, fitted_model& model,
                          std::string& error);

// The same from a file.
bool read_model_file(const std::string& path, fitted_model& model, std::string& error);
