#pragma once
struct Title
{
    int buttons = 6;
};
