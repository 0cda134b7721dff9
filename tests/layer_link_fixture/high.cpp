int LowThing();

int HighOnly()
{
    return 2;
}

int HighThing()
{
    return LowThing();
}
