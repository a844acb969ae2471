/* install/tests/verdata/dummy.c -- the code of the small libraries that carry test version resources. */
int tgVersionTestDummy(void)
{
    return 0;
}
