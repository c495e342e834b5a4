// column_kind_name: the names of the column kinds.
#include "table/data_description.h"

const char* column_kind_name(column_kind kind) {
    switch (kind) {
    case column_continuous:
        return "continuous";
    case column_ordinal:
        return "ordinal";
    case column_nominal:
        return "nominal";
    case column_outcome:
        return "outcome";
    case column_ignored:
        return "ignored";
    }
    return "?";
}
