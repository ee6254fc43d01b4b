// The About window: six lines of text and nothing else.
#pragma once

#include "runtime/form.h"

class Form2 final : public Runtime::Form
{
public:
    explicit Form2(Runtime::Form *owner = nullptr);
};
