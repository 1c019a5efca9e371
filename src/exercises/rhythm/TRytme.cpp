#include "exercises/rhythm/TRytme.h"

namespace pv {

TRytme::TRytme(IRandom& random, IPrompts& prompts, const UIStringTable& strings)
    : m_random(random), m_prompts(prompts), m_strings(strings)
{
}

} // namespace pv
