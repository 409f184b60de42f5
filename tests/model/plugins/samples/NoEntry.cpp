// A library without the entry function.
extern "C" __attribute__((visibility("default"))) int SomethingElse()
{
    return 0;
}
