// Declared here, defined in the area above: the climb the check link must reject.
int HighOnly();

int LowThing()
{
    return HighOnly() + 1;
}
