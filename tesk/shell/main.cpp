// Program block of Tesk ("Gromble").
int main()
{
    return 0;
}
