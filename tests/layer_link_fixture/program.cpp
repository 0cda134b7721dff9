int HighThing();

int main()
{
    return HighThing() == 3 ? 0 : 1;
}
