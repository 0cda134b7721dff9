#pragma once
inline constexpr int SCRIPT_LIMIT = 4;
