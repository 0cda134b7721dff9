#pragma once
// Names a screen without including it: a declaration up the order.
class CTitle;
