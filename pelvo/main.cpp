// Program block of Pelvo.
int main()
{
    return 0;
}
