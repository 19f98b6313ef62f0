// A library that loads but exports no factory.
int nosymbolsPlaceholder()
{
    return 0;
}
