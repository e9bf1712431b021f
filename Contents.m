% MEX toolkit for 3-D image analysis
%
% Skeletons
%   thin_volume        - Thin the object of a logical 3-D array to a skeleton.
%
% Statistics
%   normality_check    - Anderson-Darling test of a sorted sample against a normal distribution.
%
% Files
%   tiff_stack_dims    - Height, width and slice count of a multi-page TIFF, without reading pixels.
%
% Gaussian spot model
%   gauss3_eval        - Axially symmetric 3-D Gaussian of unit peak at sample points.
%   gauss3_eval_approx - The same with a fast single-precision exponential.
%   accum_derivs3      - Gradient and Hessian sums with respect to one Gaussian's centre.
%   pair_blocks3       - The 3N-by-3N blocks that couple the centres of N Gaussians.
%
% Points and missing values
%   pairwise_offsets   - x and y offsets between every pair of points of two 2-D lists.
%   fill_nan           - Copy of a single or double array with NaNs replaced, in parallel.
%
% Building
%   build_mex          - Compile every function with this host's MEX compiler.
%
% Each function is a MEX module over a C++ core; 'help NAME' describes it.
