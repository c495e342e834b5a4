// Fuzz target of the model file reader: any text is either refused with a
// message or read into a model that writes back to text which reads again to
// the same model, and whose subtrees can all be walked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "modelfile/build_model.h"
#include "modelfile/model_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fitted_model model;
    std::string error;
    if (!model_from_json_text(text, "fuzz.json", model, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::string written = model_to_json_text(model);
    fitted_model again;
    if (!model_from_json_text(written, "again.json", again, error)) std::abort();
    if (model_to_json_text(again) != written) std::abort();
    for (size_t k = 1; k <= model.subtrees.size(); k++) {
        std::vector<int> in_subtree, terminal;
        model_subtree_membership(model, static_cast<int>(k), in_subtree, terminal);
    }
    return 0;
}
