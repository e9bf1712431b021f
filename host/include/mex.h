/*
 * Declarations of the MEX interface subset that this toolkit's gateways use,
 * for building them against the embedded host in host/embedded.
 *
 * Written for this project from the documented names and signatures of the
 * MEX API. Under MATLAB or GNU Octave the gateways include the host's own
 * mex.h instead; this file is only on the include path of embedded builds.
 *
 * Size-bearing functions come in two generations, told apart by a symbol
 * suffix: _700 takes sizes as 32-bit int, _730 as size_t. Defining
 * MX_COMPAT_32 before including this header selects the 32-bit generation.
 */
#ifndef TOOLKIT_EMBEDDED_MEX_H
#define TOOLKIT_EMBEDDED_MEX_H

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray;

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS = 1,
    mxSTRUCT_CLASS = 2,
    mxLOGICAL_CLASS = 3,
    mxCHAR_CLASS = 4,
    mxVOID_CLASS = 5,
    mxDOUBLE_CLASS = 6,
    mxSINGLE_CLASS = 7,
    mxINT8_CLASS = 8,
    mxUINT8_CLASS = 9,
    mxINT16_CLASS = 10,
    mxUINT16_CLASS = 11,
    mxINT32_CLASS = 12,
    mxUINT32_CLASS = 13,
    mxINT64_CLASS = 14,
    mxUINT64_CLASS = 15,
    mxFUNCTION_CLASS = 16,
    mxOPAQUE_CLASS = 17,
    mxOBJECT_CLASS = 18
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

typedef unsigned char mxLogical;
typedef unsigned short mxChar;

#ifdef MX_COMPAT_32
typedef int mwSize;
typedef int mwIndex;
#define mxGetNumberOfDimensions mxGetNumberOfDimensions_700
#define mxGetDimensions mxGetDimensions_700
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_700
#define mxCreateNumericMatrix mxCreateNumericMatrix_700
#define mxCreateNumericArray mxCreateNumericArray_700
#define mxCreateUninitNumericArray mxCreateUninitNumericArray_700
#define mxCreateLogicalArray mxCreateLogicalArray_700
#define mxCreateCharArray mxCreateCharArray_700
#define mxCreateCellMatrix mxCreateCellMatrix_700
#define mxCreateStructMatrix mxCreateStructMatrix_700
#else
typedef size_t mwSize;
typedef size_t mwIndex;
#define mxGetNumberOfDimensions mxGetNumberOfDimensions_730
#define mxGetDimensions mxGetDimensions_730
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_730
#define mxCreateNumericMatrix mxCreateNumericMatrix_730
#define mxCreateNumericArray mxCreateNumericArray_730
#define mxCreateUninitNumericArray mxCreateUninitNumericArray_730
#define mxCreateLogicalArray mxCreateLogicalArray_730
#define mxCreateCharArray mxCreateCharArray_730
#define mxCreateCellMatrix mxCreateCellMatrix_730
#define mxCreateStructMatrix mxCreateStructMatrix_730
#endif

/* The gateway every module exports (visible even when a build hides the rest). */
__attribute__((visibility("default"))) void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

/* Access. */
double* mxGetPr(const mxArray* array);
double* mxGetPi(const mxArray* array);
void* mxGetData(const mxArray* array);
void* mxGetImagData(const mxArray* array);
mxLogical* mxGetLogicals(const mxArray* array);
mxChar* mxGetChars(const mxArray* array);
double mxGetScalar(const mxArray* array);
size_t mxGetM(const mxArray* array);
size_t mxGetN(const mxArray* array);
size_t mxGetNumberOfElements(const mxArray* array);
size_t mxGetElementSize(const mxArray* array);
mxClassID mxGetClassID(const mxArray* array);
const char* mxGetClassName(const mxArray* array);
bool mxIsLogical(const mxArray* array);
bool mxIsChar(const mxArray* array);
bool mxIsDouble(const mxArray* array);
bool mxIsSingle(const mxArray* array);
bool mxIsNumeric(const mxArray* array);
bool mxIsComplex(const mxArray* array);
bool mxIsSparse(const mxArray* array);
bool mxIsEmpty(const mxArray* array);
bool mxIsCell(const mxArray* array);
bool mxIsStruct(const mxArray* array);
bool mxIsClass(const mxArray* array, const char* class_name);
char* mxArrayToString(const mxArray* array);

int mxGetNumberOfDimensions_700(const mxArray* array);
const int* mxGetDimensions_700(const mxArray* array);
size_t mxGetNumberOfDimensions_730(const mxArray* array);
const size_t* mxGetDimensions_730(const mxArray* array);

/* Creation. Numeric, logical and char arrays start zero-filled, except those
 * made by mxCreateUninitNumericArray. */
mxArray* mxCreateDoubleScalar(double value);
mxArray* mxCreateString(const char* text);
mxArray* mxDuplicateArray(const mxArray* array);
void mxDestroyArray(mxArray* array);

mxArray* mxCreateDoubleMatrix_700(int m, int n, mxComplexity complexity);
mxArray* mxCreateNumericMatrix_700(int m, int n, mxClassID class_id, mxComplexity complexity);
mxArray* mxCreateNumericArray_700(int ndim, const int* dims, mxClassID class_id,
                                  mxComplexity complexity);
mxArray* mxCreateUninitNumericArray_700(size_t ndim, int* dims, mxClassID class_id,
                                        mxComplexity complexity);
mxArray* mxCreateLogicalArray_700(int ndim, const int* dims);
mxArray* mxCreateCharArray_700(int ndim, const int* dims);
mxArray* mxCreateCellMatrix_700(int m, int n);
mxArray* mxCreateStructMatrix_700(int m, int n, int nfields, const char** field_names);

mxArray* mxCreateDoubleMatrix_730(size_t m, size_t n, mxComplexity complexity);
mxArray* mxCreateNumericMatrix_730(size_t m, size_t n, mxClassID class_id,
                                   mxComplexity complexity);
mxArray* mxCreateNumericArray_730(size_t ndim, const size_t* dims, mxClassID class_id,
                                  mxComplexity complexity);
mxArray* mxCreateUninitNumericArray_730(size_t ndim, size_t* dims, mxClassID class_id,
                                        mxComplexity complexity);
mxArray* mxCreateLogicalArray_730(size_t ndim, const size_t* dims);
mxArray* mxCreateCharArray_730(size_t ndim, const size_t* dims);
mxArray* mxCreateCellMatrix_730(size_t m, size_t n);
mxArray* mxCreateStructMatrix_730(size_t m, size_t n, int nfields, const char** field_names);

/* Host memory: reclaimed at the end of the call unless freed earlier. */
void* mxMalloc(size_t bytes);
void* mxCalloc(size_t count, size_t bytes);
void mxFree(void* pointer);

/* Errors never return: the host abandons the call and discards what it made. */
void mexErrMsgTxt(const char* message) __attribute__((noreturn));
void mexErrMsgIdAndTxt(const char* identifier, const char* format, ...)
    __attribute__((noreturn, format(printf, 2, 3)));
int mexPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

/* Calls a host function by name; the embedded host knows "char". */
int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name);
int mexCallMATLABWithObject(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[],
                            const char* name);

#ifdef __cplusplus
}
#endif

#endif
