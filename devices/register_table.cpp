#include "register_table.h"

#include <algorithm>
#include <utility>

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

RegisterWords::RegisterWords(int count, std::function<int(int)> word)
    : m_count(count)
    , m_word(std::move(word))
{}

RegisterWords::RegisterWords(std::map<int, int> words)
    : m_words(std::move(words))
{}

bool RegisterWords::has(int reg) const
{
    return m_word ? reg >= 0 && reg < m_count : m_words.contains(reg);
}

int RegisterWords::word(int reg) const
{
    if (m_word)
        return m_word(reg);
    const auto found = m_words.find(reg);
    return found == m_words.end() ? 0 : found->second & 0xFFFF;
}
