#include "register_table.h"

#include <algorithm>

std::vector<const RegisterField *> writeOrder(const RegisterTable &table)
{
    std::vector<const RegisterField *> fields;
    for (const RegisterField &field : table)
        if (field.writeOrder >= 0)
            fields.push_back(&field);
    std::stable_sort(fields.begin(), fields.end(),
                     [](const RegisterField *a, const RegisterField *b) {
                         return a->writeOrder < b->writeOrder;
                     });
    return fields;
}
