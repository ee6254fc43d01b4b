// The About window: six lines of text and nothing else.
#pragma once

#include "form.h"

class Form2 final : public Runtime::Form
{
    Q_OBJECT

public:
    explicit Form2(QWidget *owner = nullptr);
};
