#pragma once
// The screen the foundation fixture names.
class CTitle
{};
