// Links every engine target and does nothing: its library list is what the
// engine drags in.
int main()
{
    return 0;
}
