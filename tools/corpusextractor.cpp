#include "tools/corpusextractor.h"

CorpusExtraction extractCorpus(const QString &source, const QString &outDir)
{
    CorpusExtraction result;
    result.error = source + outDir;
    return result;
}
