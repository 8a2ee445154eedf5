int ticks;

void tick()
{
    ticks = ticks + 1;
}

int main()
{
    int i;
    while (i < 3) {
        tick();
        i++;
